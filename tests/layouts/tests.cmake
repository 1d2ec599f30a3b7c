list(APPEND CORE_TESTS
    ${CMAKE_CURRENT_LIST_DIR}/layout_selection_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/layout_test_util.cpp
    ${CMAKE_CURRENT_LIST_DIR}/layout_tokenizer_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/layout_parser_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/layout_file_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/default_layout_test.cpp
    # Key names are built with the layouts, so their tests run with them.
    ${CMAKE_CURRENT_LIST_DIR}/shipped_layouts_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/layout_install_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/layout_import_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/import_file_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/layout_file_load_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/key_names_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/key_geometry_test.cpp
)
list(APPEND WIN_TESTS
    ${CMAKE_CURRENT_LIST_DIR}/layout_install_win_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/layout_folder_watch_win_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/shipped_layouts_win_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/resource_strings_win_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/resource_strings_test.rc
)
if(NOT WIN32)
    add_test(NAME layouts.cli_layout
        COMMAND ${CMAKE_CURRENT_LIST_DIR}/cli_layout_test.sh $<TARGET_FILE:tapwise-cli>)
    add_test(NAME layouts.cli_import
        COMMAND ${CMAKE_CURRENT_LIST_DIR}/cli_import_test.sh $<TARGET_FILE:tapwise-cli>)
endif()
