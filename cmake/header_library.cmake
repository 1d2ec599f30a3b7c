include_guard(GLOBAL)
# A header-only library as an INTERFACE target, found in one of three places:
#   -D<INCLUDE_DIR_VAR>=<folder holding HEADER> uses that folder as it is.
#   Otherwise a native build uses the installed package (find_package), and a cross build
#   copies only the host's folder of the library into the build tree: putting the host's whole
#   /usr/include on a MinGW include path would mix Linux headers into the Windows build.
# tapwise_header_library(TARGET INCLUDE_DIR_VAR var HEADER dir/file.hpp PACKAGE name
#                        VERSION v IMPORTED pkg::target DEBIAN debian-package)
function(tapwise_header_library target)
    cmake_parse_arguments(arg "" "INCLUDE_DIR_VAR;HEADER;PACKAGE;VERSION;IMPORTED;DEBIAN" "" ${ARGN})
    set(${arg_INCLUDE_DIR_VAR} "" CACHE PATH "Folder that holds ${arg_HEADER}")
    add_library(${target} INTERFACE)
    if(${arg_INCLUDE_DIR_VAR})
        target_include_directories(${target} SYSTEM INTERFACE ${${arg_INCLUDE_DIR_VAR}})
        return()
    endif()
    if(NOT CMAKE_CROSSCOMPILING)
        find_package(${arg_PACKAGE} ${arg_VERSION} CONFIG QUIET)
        if(${arg_PACKAGE}_FOUND)
            target_link_libraries(${target} INTERFACE ${arg_IMPORTED})
            return()
        endif()
    endif()
    set(host_dir_var TAPWISE_HOST_${arg_PACKAGE}_DIR)
    find_path(${host_dir_var} ${arg_HEADER} PATHS /usr/include /usr/local/include
        NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH)
    if(NOT ${host_dir_var})
        message(FATAL_ERROR "${arg_HEADER} not found: install ${arg_DEBIAN} "
            "(tools/ensure-packages.sh) or set ${arg_INCLUDE_DIR_VAR}")
    endif()
    string(REGEX REPLACE "/.*" "" folder ${arg_HEADER})
    file(COPY ${${host_dir_var}}/${folder} DESTINATION ${CMAKE_BINARY_DIR}/${target}-include)
    target_include_directories(${target} SYSTEM INTERFACE ${CMAKE_BINARY_DIR}/${target}-include)
endfunction()
