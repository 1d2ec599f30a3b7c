# Every subsystem lists its tests in tests/<subsystem>/tests.cmake:
#   list(APPEND CORE_TESTS ...)  core tests: one native program per subsystem (ASan + UBSan),
#                                and compiled again into the Windows test program
#   list(APPEND WIN_TESTS ...)   Windows-layer tests (real Win32 API, run under Wine)
if(NOT WIN32)
    find_package(GTest REQUIRED)
    include(GoogleTest)
endif()

set(TAPWISE_ALL_CORE_TESTS)
set(TAPWISE_ALL_WIN_TESTS)
foreach(sub IN LISTS TAPWISE_SUBSYSTEMS)
    set(CORE_TESTS)
    set(WIN_TESTS)
    include(${CMAKE_SOURCE_DIR}/tests/${sub}/tests.cmake OPTIONAL)
    list(APPEND TAPWISE_ALL_CORE_TESTS ${CORE_TESTS})
    list(APPEND TAPWISE_ALL_WIN_TESTS ${WIN_TESTS})
    if(CORE_TESTS AND NOT WIN32)
        add_executable(test_${sub} ${CORE_TESTS} ${CMAKE_SOURCE_DIR}/tests/support/test_support.cpp)
        target_include_directories(test_${sub} PRIVATE ${CMAKE_SOURCE_DIR}/tests)
        target_link_libraries(test_${sub} PRIVATE tapwise_core GTest::gtest_main)
        target_compile_definitions(test_${sub} PRIVATE
            TAPWISE_SOURCE_DIR="${CMAKE_SOURCE_DIR}" TAPWISE_BINARY_DIR="${CMAKE_BINARY_DIR}")
        tapwise_warnings(test_${sub})
        gtest_discover_tests(test_${sub} TEST_PREFIX "${sub}." DISCOVERY_TIMEOUT 60)
    endif()
endforeach()

if(WIN32)
    if(CMAKE_CROSSCOMPILING)
        # Built on Linux and run under Wine: GoogleTest comes from Debian's sources, and the
        # tests see the source tree through Wine's Z: drive.
        set(TAPWISE_GTEST_SOURCE "/usr/src/googletest" CACHE PATH "GoogleTest sources for the Windows test program")
        set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
        set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
        set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
        add_subdirectory(${TAPWISE_GTEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
        set(TAPWISE_GTEST_MAIN gtest_main)
        set(TAPWISE_TEST_PATH_PREFIX "Z:")
    else()
        find_package(GTest REQUIRED)
        set(TAPWISE_GTEST_MAIN GTest::gtest_main)
        set(TAPWISE_TEST_PATH_PREFIX "")
    endif()

    # The test program carries the program's own resources (dialogs, strings, menus, bitmaps).
    add_executable(tapwise-win-tests ${TAPWISE_ALL_CORE_TESTS} ${TAPWISE_ALL_WIN_TESTS}
        ${CMAKE_SOURCE_DIR}/tests/support/test_support.cpp
        ${CMAKE_SOURCE_DIR}/tests/support/bitmap_file_win.cpp ${TAPWISE_RC_SOURCES})
    target_include_directories(tapwise-win-tests PRIVATE ${CMAKE_SOURCE_DIR}/tests)
    target_link_libraries(tapwise-win-tests PRIVATE tapwise_app ${TAPWISE_GTEST_MAIN})
    target_compile_definitions(tapwise-win-tests PRIVATE
        TAPWISE_SOURCE_DIR="${TAPWISE_TEST_PATH_PREFIX}${CMAKE_SOURCE_DIR}"
        TAPWISE_BINARY_DIR="${TAPWISE_TEST_PATH_PREFIX}${CMAKE_BINARY_DIR}")
    tapwise_warnings(tapwise-win-tests)
    if(NOT MSVC)
        target_link_options(tapwise-win-tests PRIVATE -static)
    endif()

    if(CMAKE_CROSSCOMPILING)
        add_test(NAME windows.unit
            COMMAND ${CMAKE_SOURCE_DIR}/tests/win/wine-run.sh $<TARGET_FILE:tapwise-win-tests>)
        set_tests_properties(windows.unit PROPERTIES TIMEOUT 600)
        # The scaling tests again on screens of 150 % and 200 %; at 200 % the screen's work
        # area is 1600 x 1200, where the keyboard must be fitted.
        foreach(scale IN ITEMS "144;1920x1200x24" "192;1600x1200x24")
            list(GET scale 0 dpi)
            list(GET scale 1 screen)
            add_test(NAME windows.dpi${dpi}
                COMMAND ${CMAKE_COMMAND} -E env WINE_DPI=${dpi} WINE_SCREEN=${screen}
                    ${CMAKE_SOURCE_DIR}/tests/win/wine-run.sh $<TARGET_FILE:tapwise-win-tests>
                    --gtest_filter=DpiScaling*)
            set_tests_properties(windows.dpi${dpi} PROPERTIES TIMEOUT 300)
        endforeach()
        # A move from 100 % to 150 % and back on a screen large enough for the window at 150 %.
        add_test(NAME windows.dpichange
            COMMAND ${CMAKE_COMMAND} -E env WINE_SCREEN=1920x1200x24
                ${CMAKE_SOURCE_DIR}/tests/win/wine-run.sh $<TARGET_FILE:tapwise-win-tests>
                --gtest_filter=DpiChange*)
        set_tests_properties(windows.dpichange PROPERTIES TIMEOUT 300)

        # End-to-end scripts: tests/e2e/*.sh, each run with the built program and build folder.
        file(GLOB TAPWISE_E2E_SCRIPTS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/e2e/e2e_*.sh)
        foreach(script IN LISTS TAPWISE_E2E_SCRIPTS)
            get_filename_component(name ${script} NAME_WE)
            add_test(NAME e2e.${name} COMMAND ${script} $<TARGET_FILE:Tapwise> ${CMAKE_BINARY_DIR})
            set_tests_properties(e2e.${name} PROPERTIES TIMEOUT 300 RUN_SERIAL TRUE)
        endforeach()
    else()
        add_test(NAME windows.unit COMMAND tapwise-win-tests)
    endif()
endif()

if(NOT WIN32)
    # Layering of src/: no include points up a layer, Windows-only files end in _win.
    find_package(Python3 REQUIRED COMPONENTS Interpreter)
    add_test(NAME house.layers
        COMMAND ${Python3_EXECUTABLE} ${CMAKE_SOURCE_DIR}/tools/check_layers.py ${CMAKE_SOURCE_DIR}/src)
    # The check itself: it fails on hand-made trees with each kind of fault.
    add_test(NAME house.layers_check
        COMMAND ${Python3_EXECUTABLE} ${CMAKE_SOURCE_DIR}/tests/house/check_layers_test.py)
endif()
