# This program: the entry point, the run loop and the main window. Windows-only as a folder;
# the main window's pure layout arithmetic is portable and built into the core.
list(APPEND TAPWISE_CORE_SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/main_layout.cpp
)
list(APPEND TAPWISE_APP_SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/main_dlg.cpp
    ${CMAKE_CURRENT_LIST_DIR}/run_main_dialog.cpp
)
