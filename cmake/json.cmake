# The JSON reader of the layout importers: nlohmann/json, header-only
# (cmake/header_library.cmake tells where it is taken from).
include(${CMAKE_CURRENT_LIST_DIR}/header_library.cmake)
tapwise_header_library(tapwise_json INCLUDE_DIR_VAR TAPWISE_JSON_INCLUDE_DIR
    HEADER nlohmann/json.hpp PACKAGE nlohmann_json VERSION 3.10
    IMPORTED nlohmann_json::nlohmann_json DEBIAN nlohmann-json3-dev)
