list(APPEND CORE_TESTS
    ${CMAKE_CURRENT_LIST_DIR}/report_model_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/timing_chart_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/bench_record_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/bench_summary_test.cpp
)
if(NOT WIN32)
    # The timing chart in a real browser, from a report with hand-made samples.
    add_executable(report_chart_page ${CMAKE_CURRENT_LIST_DIR}/chart_page.cpp)
    target_link_libraries(report_chart_page PRIVATE tapwise_core)
    tapwise_warnings(report_chart_page)
    add_test(NAME report.chart_browser
        COMMAND ${CMAKE_CURRENT_LIST_DIR}/chart_browser_test.sh $<TARGET_FILE:report_chart_page>
                ${CMAKE_BINARY_DIR}/report_chart.png)
    set_tests_properties(report.chart_browser PROPERTIES TIMEOUT 180)
    add_test(NAME report.bench_summary_browser
        COMMAND ${CMAKE_CURRENT_LIST_DIR}/bench_summary_browser_test.sh $<TARGET_FILE:tapwise-cli>
                ${CMAKE_SOURCE_DIR} ${CMAKE_BINARY_DIR}/bench_summary_browser.png)
    set_tests_properties(report.bench_summary_browser PROPERTIES TIMEOUT 180)
endif()
