list(APPEND TAPWISE_CORE_SOURCES
)
list(APPEND TAPWISE_WIN_SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/message_font_win.cpp
    ${CMAKE_CURRENT_LIST_DIR}/key_image_cache_win.cpp
    ${CMAKE_CURRENT_LIST_DIR}/keyboard_window_win.cpp
    ${CMAKE_CURRENT_LIST_DIR}/log_viewer_win.cpp
)
