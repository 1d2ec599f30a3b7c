list(APPEND CORE_TESTS
    ${CMAKE_CURRENT_LIST_DIR}/colour_scheme_test.cpp
)
list(APPEND WIN_TESTS
    ${CMAKE_CURRENT_LIST_DIR}/controls_win_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/message_loop_win_test.cpp
)
