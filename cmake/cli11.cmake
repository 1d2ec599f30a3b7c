# The command-line parser of tapwise-cli: CLI11, header-only
# (cmake/header_library.cmake tells where it is taken from).
include(${CMAKE_CURRENT_LIST_DIR}/header_library.cmake)
tapwise_header_library(tapwise_cli11 INCLUDE_DIR_VAR TAPWISE_CLI11_INCLUDE_DIR
    HEADER CLI/CLI.hpp PACKAGE CLI11 VERSION 2.1 IMPORTED CLI11::CLI11 DEBIAN libcli11-dev)
