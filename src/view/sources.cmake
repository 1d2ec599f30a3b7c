list(APPEND TAPWISE_CORE_SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/key_geometry.cpp
)
list(APPEND TAPWISE_WIN_SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/message_font.cpp
    ${CMAKE_CURRENT_LIST_DIR}/key_image_cache.cpp
    ${CMAKE_CURRENT_LIST_DIR}/keyboard_window.cpp
    ${CMAKE_CURRENT_LIST_DIR}/keyboard_window_load.cpp
)
