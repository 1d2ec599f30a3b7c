list(APPEND CORE_TESTS
    ${CMAKE_CURRENT_LIST_DIR}/alignment_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/dpi_scale_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/diagnostic_log_test.cpp
)
