list(APPEND TAPWISE_CORE_SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/layout_library.cpp
    ${CMAKE_CURRENT_LIST_DIR}/layout_lookup.cpp
    ${CMAKE_CURRENT_LIST_DIR}/layout_selection.cpp
    ${CMAKE_CURRENT_LIST_DIR}/keyboard_layout.cpp
    ${CMAKE_CURRENT_LIST_DIR}/default_layout.cpp
    ${CMAKE_CURRENT_LIST_DIR}/layout_parser.cpp
    ${CMAKE_CURRENT_LIST_DIR}/layout_tokenizer.cpp
    ${CMAKE_CURRENT_LIST_DIR}/layout_install.cpp
    ${CMAKE_CURRENT_LIST_DIR}/key_names.cpp
    ${CMAKE_CURRENT_LIST_DIR}/key_geometry.cpp
)
list(APPEND TAPWISE_WIN_SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/layout_folder_watch_win.cpp
    ${CMAKE_CURRENT_LIST_DIR}/layout_install_win.cpp
    ${CMAKE_CURRENT_LIST_DIR}/resource_strings_win.cpp
)
# Layout import from KLE and QMK JSON (the only users of the JSON library).
list(APPEND TAPWISE_CORE_SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/layout_import.cpp
    ${CMAKE_CURRENT_LIST_DIR}/import_file.cpp
    ${CMAKE_CURRENT_LIST_DIR}/import_json.cpp
    ${CMAKE_CURRENT_LIST_DIR}/imported_key.cpp
    ${CMAKE_CURRENT_LIST_DIR}/kle_reader.cpp
    ${CMAKE_CURRENT_LIST_DIR}/qmk_reader.cpp
    ${CMAKE_CURRENT_LIST_DIR}/qmk_keycodes.cpp
    ${CMAKE_CURRENT_LIST_DIR}/legend_table.cpp
    ${CMAKE_CURRENT_LIST_DIR}/kbl_writer.cpp
    ${CMAKE_CURRENT_LIST_DIR}/layout_file_load.cpp
    ${CMAKE_CURRENT_LIST_DIR}/layout_fit.cpp
)
