list(APPEND CORE_TESTS
    ${CMAKE_CURRENT_LIST_DIR}/elapsed_clock_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/raw_decoder_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/background_key_filter_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/key_record_inbox_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/key_states_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/key_statistics_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/key_test_engine_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/remap_table_test.cpp
)
list(APPEND WIN_TESTS
    ${CMAKE_CURRENT_LIST_DIR}/raw_input_win_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/scancode_map_win_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/worker_thread_win_test.cpp
)
if(NOT WIN32)
    add_test(NAME input.replay_cli
        COMMAND ${CMAKE_CURRENT_LIST_DIR}/replay_cli_test.sh $<TARGET_FILE:tapwise-cli>)
endif()
