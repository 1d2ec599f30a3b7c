list(APPEND CORE_TESTS
    ${CMAKE_CURRENT_LIST_DIR}/replay_trace_test.cpp
)
