list(APPEND TAPWISE_CLI_SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/cli_main.cpp
    ${CMAKE_CURRENT_LIST_DIR}/cli_files.cpp
    ${CMAKE_CURRENT_LIST_DIR}/cli_import.cpp
    ${CMAKE_CURRENT_LIST_DIR}/cli_layout.cpp
    ${CMAKE_CURRENT_LIST_DIR}/cli_parser.cpp
    ${CMAKE_CURRENT_LIST_DIR}/cli_replay.cpp
    ${CMAKE_CURRENT_LIST_DIR}/cli_report.cpp
    ${CMAKE_CURRENT_LIST_DIR}/cli_settings.cpp
    ${CMAKE_CURRENT_LIST_DIR}/cli_text.cpp
    ${CMAKE_CURRENT_LIST_DIR}/cli_bench_summary.cpp
)
