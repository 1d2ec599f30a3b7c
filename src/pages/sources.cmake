list(APPEND TAPWISE_WIN_SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/keyboard_dlg_win.cpp
    ${CMAKE_CURRENT_LIST_DIR}/keyboard_dlg_bench_win.cpp
    ${CMAKE_CURRENT_LIST_DIR}/bench_panel_win.cpp
    ${CMAKE_CURRENT_LIST_DIR}/key_page_win.cpp
    ${CMAKE_CURRENT_LIST_DIR}/settings_dlg_win.cpp
    ${CMAKE_CURRENT_LIST_DIR}/layout_list_win.cpp
    ${CMAKE_CURRENT_LIST_DIR}/status_label_win.cpp
    ${CMAKE_CURRENT_LIST_DIR}/input_language_win.cpp
    ${CMAKE_CURRENT_LIST_DIR}/report_context_win.cpp
    ${CMAKE_CURRENT_LIST_DIR}/log_write_pacer_win.cpp
    ${CMAKE_CURRENT_LIST_DIR}/keyboard_page_controls_win.cpp
)
list(APPEND TAPWISE_CORE_SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/keyboard_page.cpp
)
