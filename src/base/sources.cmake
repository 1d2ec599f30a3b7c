list(APPEND TAPWISE_CORE_SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/progress_parts.cpp
    ${CMAKE_CURRENT_LIST_DIR}/alignment.cpp
    ${CMAKE_CURRENT_LIST_DIR}/dpi_scale.cpp
    ${CMAKE_CURRENT_LIST_DIR}/utf8.cpp
    ${CMAKE_CURRENT_LIST_DIR}/diagnostic_log.cpp
)
