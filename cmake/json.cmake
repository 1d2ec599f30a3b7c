# The JSON reader of the layout importers: nlohmann/json, header-only.
#   -DTAPWISE_JSON_INCLUDE_DIR=<folder holding nlohmann/json.hpp> uses that folder as it is.
#   Otherwise a native build uses the installed package (find_package), and a cross build
#   copies only the host's nlohmann folder into the build tree: putting the host's whole
#   /usr/include on a MinGW include path would mix Linux headers into the Windows build.
set(TAPWISE_JSON_INCLUDE_DIR "" CACHE PATH "Folder that holds nlohmann/json.hpp")
add_library(tapwise_json INTERFACE)
if(TAPWISE_JSON_INCLUDE_DIR)
    target_include_directories(tapwise_json SYSTEM INTERFACE ${TAPWISE_JSON_INCLUDE_DIR})
    return()
endif()
if(NOT CMAKE_CROSSCOMPILING)
    find_package(nlohmann_json 3.10 CONFIG QUIET)
    if(nlohmann_json_FOUND)
        target_link_libraries(tapwise_json INTERFACE nlohmann_json::nlohmann_json)
        return()
    endif()
endif()
find_path(TAPWISE_HOST_JSON_DIR nlohmann/json.hpp PATHS /usr/include /usr/local/include
    NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH)
if(NOT TAPWISE_HOST_JSON_DIR)
    message(FATAL_ERROR "nlohmann/json.hpp not found: install nlohmann-json3-dev "
        "(tools/ensure-packages.sh) or set TAPWISE_JSON_INCLUDE_DIR")
endif()
file(COPY ${TAPWISE_HOST_JSON_DIR}/nlohmann DESTINATION ${CMAKE_BINARY_DIR}/json-include)
target_include_directories(tapwise_json SYSTEM INTERFACE ${CMAKE_BINARY_DIR}/json-include)
