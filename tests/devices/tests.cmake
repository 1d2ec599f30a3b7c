list(APPEND CORE_TESTS
    ${CMAKE_CURRENT_LIST_DIR}/device_identity_test.cpp
)
list(APPEND WIN_TESTS
    ${CMAKE_CURRENT_LIST_DIR}/device_identity_win_test.cpp
)
