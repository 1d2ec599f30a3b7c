list(APPEND CORE_TESTS
)
list(APPEND WIN_TESTS
    ${CMAKE_CURRENT_LIST_DIR}/resources_win_test.cpp
)
