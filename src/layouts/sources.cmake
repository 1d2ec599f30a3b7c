list(APPEND TAPWISE_CORE_SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/layout_library.cpp
    ${CMAKE_CURRENT_LIST_DIR}/layout_selection.cpp
    ${CMAKE_CURRENT_LIST_DIR}/keyboard_layout.cpp
    ${CMAKE_CURRENT_LIST_DIR}/default_layout.cpp
    ${CMAKE_CURRENT_LIST_DIR}/layout_parser.cpp
    ${CMAKE_CURRENT_LIST_DIR}/layout_tokenizer.cpp
    ${CMAKE_CURRENT_LIST_DIR}/layout_install.cpp
)
list(APPEND TAPWISE_WIN_SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/layout_list_win.cpp
    ${CMAKE_CURRENT_LIST_DIR}/layout_install_win.cpp
    ${CMAKE_CURRENT_LIST_DIR}/resource_strings_win.cpp
)
