list(APPEND TAPWISE_CORE_SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/alignment.cpp
    ${CMAKE_CURRENT_LIST_DIR}/colour_scheme.cpp
    ${CMAKE_CURRENT_LIST_DIR}/main_layout.cpp
)
list(APPEND TAPWISE_WIN_SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/main_dlg.cpp
    ${CMAKE_CURRENT_LIST_DIR}/message_loop.cpp
    ${CMAKE_CURRENT_LIST_DIR}/run_main_dialog.cpp
    ${CMAKE_CURRENT_LIST_DIR}/window_base.cpp
    ${CMAKE_CURRENT_LIST_DIR}/modeless_dialog.cpp
    ${CMAKE_CURRENT_LIST_DIR}/align_window.cpp
    ${CMAKE_CURRENT_LIST_DIR}/static_controls.cpp
    ${CMAKE_CURRENT_LIST_DIR}/buttons.cpp
)
