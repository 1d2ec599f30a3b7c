include(${CMAKE_SOURCE_DIR}/cmake/default_layout.cmake)
tapwise_generate_default_layout(${CMAKE_CURRENT_LIST_DIR}/default.kbl ${CMAKE_BINARY_DIR}/generated)

list(APPEND TAPWISE_CORE_SOURCES
    ${CMAKE_BINARY_DIR}/generated/default_layout_data.cpp
)
# tapwise.rc includes the generated string table (the generated folder is on the include path).
list(APPEND TAPWISE_RC_SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/tapwise.rc
)
# windres reports no dependencies: name the scripts, headers and pictures that tapwise.rc pulls
# in, so that a change to any of them rebuilds the resources.
file(GLOB TAPWISE_RC_PARTS CONFIGURE_DEPENDS
    ${CMAKE_CURRENT_LIST_DIR}/*.rc ${CMAKE_CURRENT_LIST_DIR}/*.h
    ${CMAKE_CURRENT_LIST_DIR}/*.manifest ${CMAKE_CURRENT_LIST_DIR}/bitmaps/*)
set_source_files_properties(${CMAKE_CURRENT_LIST_DIR}/tapwise.rc PROPERTIES
    OBJECT_DEPENDS "${TAPWISE_RC_PARTS}")
