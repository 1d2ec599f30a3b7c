# The command-line parser of tapwise-cli: CLI11, header-only.
#   -DTAPWISE_CLI11_INCLUDE_DIR=<folder holding CLI/CLI.hpp> uses that folder as it is.
#   Otherwise a native build uses the installed package (find_package), and a cross build
#   copies only the host's CLI folder into the build tree: putting the host's whole
#   /usr/include on a MinGW include path would mix Linux headers into the Windows build.
set(TAPWISE_CLI11_INCLUDE_DIR "" CACHE PATH "Folder that holds CLI/CLI.hpp")
add_library(tapwise_cli11 INTERFACE)
if(TAPWISE_CLI11_INCLUDE_DIR)
    target_include_directories(tapwise_cli11 SYSTEM INTERFACE ${TAPWISE_CLI11_INCLUDE_DIR})
    return()
endif()
if(NOT CMAKE_CROSSCOMPILING)
    find_package(CLI11 2.1 CONFIG QUIET)
    if(CLI11_FOUND)
        target_link_libraries(tapwise_cli11 INTERFACE CLI11::CLI11)
        return()
    endif()
endif()
find_path(TAPWISE_HOST_CLI11_DIR CLI/CLI.hpp PATHS /usr/include /usr/local/include
    NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH)
if(NOT TAPWISE_HOST_CLI11_DIR)
    message(FATAL_ERROR "CLI/CLI.hpp not found: install libcli11-dev "
        "(tools/ensure-packages.sh) or set TAPWISE_CLI11_INCLUDE_DIR")
endif()
file(COPY ${TAPWISE_HOST_CLI11_DIR}/CLI DESTINATION ${CMAKE_BINARY_DIR}/cli11-include)
target_include_directories(tapwise_cli11 SYSTEM INTERFACE ${CMAKE_BINARY_DIR}/cli11-include)
