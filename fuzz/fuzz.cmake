# libFuzzer targets (clang): every fuzz/fuzz_<name>.cpp becomes fuzz_<name>, seeded from
# fuzz/corpus/<name>/ by fuzz/run-all.sh. The core is built with the same sanitizers and
# coverage instrumentation so that faults inside it are found, not only in the harness.
if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    message(FATAL_ERROR "The fuzz targets need clang (cmake --preset fuzz)")
endif()
set(TAPWISE_FUZZ_FLAGS -fsanitize=address,undefined -fno-sanitize-recover=undefined
    -fno-omit-frame-pointer)
target_compile_options(tapwise_core PRIVATE -fsanitize=fuzzer-no-link ${TAPWISE_FUZZ_FLAGS})
target_link_options(tapwise_core INTERFACE -fsanitize=address,undefined)

file(GLOB TAPWISE_FUZZ_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/fuzz/fuzz_*.cpp)
foreach(source IN LISTS TAPWISE_FUZZ_SOURCES)
    get_filename_component(name ${source} NAME_WE)
    add_executable(${name} ${source})
    target_link_libraries(${name} PRIVATE tapwise_core)
    target_compile_options(${name} PRIVATE -fsanitize=fuzzer ${TAPWISE_FUZZ_FLAGS})
    target_link_options(${name} PRIVATE -fsanitize=fuzzer,address,undefined)
    tapwise_warnings(${name})
endforeach()
