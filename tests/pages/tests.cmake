list(APPEND WIN_TESTS
    ${CMAKE_CURRENT_LIST_DIR}/key_page_win_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/settings_dlg_win_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/layout_list_win_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/bench_panel_win_test.cpp
)
list(APPEND CORE_TESTS
    ${CMAKE_CURRENT_LIST_DIR}/keyboard_page_test.cpp
)
