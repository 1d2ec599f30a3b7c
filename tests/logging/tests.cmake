list(APPEND CORE_TESTS
    ${CMAKE_CURRENT_LIST_DIR}/paths_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/log_saving_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/file_set_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/log_line_queue_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/log_rtf_test.cpp
)
list(APPEND WIN_TESTS
    ${CMAKE_CURRENT_LIST_DIR}/logger_choice_win_test.cpp
)
if(NOT WIN32)
    add_test(NAME logging.report_browser
        COMMAND ${CMAKE_CURRENT_LIST_DIR}/report_browser_test.sh $<TARGET_FILE:tapwise-cli>
                ${CMAKE_BINARY_DIR}/report_browser.png)
    set_tests_properties(logging.report_browser PROPERTIES TIMEOUT 180)
endif()
