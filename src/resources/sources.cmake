include(${CMAKE_SOURCE_DIR}/cmake/default_layout.cmake)
tapwise_generate_default_layout(${CMAKE_CURRENT_LIST_DIR}/default.kbl ${CMAKE_BINARY_DIR}/generated)

list(APPEND TAPWISE_CORE_SOURCES
    ${CMAKE_BINARY_DIR}/generated/default_layout_data.cpp
)
# tapwise.rc includes the generated string table (the generated folder is on the include path).
list(APPEND TAPWISE_RC_SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/tapwise.rc
)
