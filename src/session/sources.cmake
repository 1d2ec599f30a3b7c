list(APPEND TAPWISE_CORE_SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/key_test_session.cpp
    ${CMAKE_CURRENT_LIST_DIR}/replay_trace.cpp
    ${CMAKE_CURRENT_LIST_DIR}/plan_verdict.cpp
    ${CMAKE_CURRENT_LIST_DIR}/bench_flow.cpp
    ${CMAKE_CURRENT_LIST_DIR}/test_plan.cpp
    ${CMAKE_CURRENT_LIST_DIR}/test_files.cpp
    ${CMAKE_CURRENT_LIST_DIR}/trace_record.cpp
)
