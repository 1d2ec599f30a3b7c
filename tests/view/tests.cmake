list(APPEND CORE_TESTS
)
list(APPEND WIN_TESTS
    ${CMAKE_CURRENT_LIST_DIR}/keyboard_window_win_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/keyboard_view_bench_win_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/log_viewer_win_test.cpp
)
