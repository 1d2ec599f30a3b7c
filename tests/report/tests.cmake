list(APPEND CORE_TESTS
    ${CMAKE_CURRENT_LIST_DIR}/report_model_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/bench_record_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/bench_summary_test.cpp
)
