list(APPEND CORE_TESTS
    ${CMAKE_CURRENT_LIST_DIR}/key_replay_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/key_states_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/key_test_engine_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/remap_table_test.cpp
)
list(APPEND WIN_TESTS
)
