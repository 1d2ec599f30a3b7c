list(APPEND CORE_TESTS
)
list(APPEND WIN_TESTS
)
if(NOT WIN32)
    add_test(NAME cli.version
        COMMAND ${CMAKE_CURRENT_LIST_DIR}/cli_version_test.sh $<TARGET_FILE:tapwise-cli> ${PROJECT_VERSION})
endif()
if(NOT WIN32)
    add_test(NAME cli.options
        COMMAND ${CMAKE_CURRENT_LIST_DIR}/cli_options_test.sh $<TARGET_FILE:tapwise-cli>)
endif()
if(NOT WIN32)
    add_test(NAME cli.bench_summary
        COMMAND ${CMAKE_CURRENT_LIST_DIR}/cli_bench_summary_test.sh $<TARGET_FILE:tapwise-cli>
                ${CMAKE_SOURCE_DIR})
endif()
