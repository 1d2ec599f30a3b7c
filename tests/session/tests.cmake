list(APPEND CORE_TESTS
    ${CMAKE_CURRENT_LIST_DIR}/key_test_session_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/replay_trace_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/plan_session_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/test_plan_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/bench_flow_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/test_recording_test.cpp
)
