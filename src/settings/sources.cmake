list(APPEND TAPWISE_CORE_SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/environment.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ini_file.cpp
    ${CMAKE_CURRENT_LIST_DIR}/settings_store.cpp
    ${CMAKE_CURRENT_LIST_DIR}/settings_page.cpp
)
list(APPEND TAPWISE_WIN_SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/profile_win.cpp
)
