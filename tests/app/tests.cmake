list(APPEND CORE_TESTS
    ${CMAKE_CURRENT_LIST_DIR}/main_layout_test.cpp
)
list(APPEND WIN_TESTS
    ${CMAKE_CURRENT_LIST_DIR}/main_dlg_win_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/dpi_win_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/event_log_win_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/input_timing_win_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/run_main_dialog_win_test.cpp
)
