list(APPEND CORE_TESTS
    ${CMAKE_CURRENT_LIST_DIR}/report_model_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/bench_record_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/bench_summary_test.cpp
)
if(NOT WIN32)
    add_test(NAME report.bench_summary_browser
        COMMAND ${CMAKE_CURRENT_LIST_DIR}/bench_summary_browser_test.sh $<TARGET_FILE:tapwise-cli>
                ${CMAKE_SOURCE_DIR} ${CMAKE_BINARY_DIR}/bench_summary_browser.png)
    set_tests_properties(report.bench_summary_browser PROPERTIES TIMEOUT 180)
endif()
