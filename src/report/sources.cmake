list(APPEND TAPWISE_CORE_SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/report_model.cpp
    ${CMAKE_CURRENT_LIST_DIR}/report_csv.cpp
    ${CMAKE_CURRENT_LIST_DIR}/report_html.cpp
    ${CMAKE_CURRENT_LIST_DIR}/html_text.cpp
    ${CMAKE_CURRENT_LIST_DIR}/timing_chart.cpp
    ${CMAKE_CURRENT_LIST_DIR}/readout.cpp
    ${CMAKE_CURRENT_LIST_DIR}/csv_text.cpp
    ${CMAKE_CURRENT_LIST_DIR}/keyboard_svg.cpp
    ${CMAKE_CURRENT_LIST_DIR}/bench_record.cpp
    ${CMAKE_CURRENT_LIST_DIR}/bench_summary.cpp
    ${CMAKE_CURRENT_LIST_DIR}/bench_summary_html.cpp
)
