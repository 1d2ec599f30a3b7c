# The window toolkit every page uses. Windows-only as a folder; the palette rules are
# portable and built into the core so that they are tested natively.
list(APPEND TAPWISE_CORE_SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/colour_scheme.cpp
)
list(APPEND TAPWISE_WIN_SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/message_loop.cpp
    ${CMAKE_CURRENT_LIST_DIR}/window_base.cpp
    ${CMAKE_CURRENT_LIST_DIR}/modeless_dialog.cpp
    ${CMAKE_CURRENT_LIST_DIR}/align_window.cpp
    ${CMAKE_CURRENT_LIST_DIR}/static_controls.cpp
    ${CMAKE_CURRENT_LIST_DIR}/progress_static.cpp
    ${CMAKE_CURRENT_LIST_DIR}/deferred_static.cpp
    ${CMAKE_CURRENT_LIST_DIR}/buttons.cpp
    ${CMAKE_CURRENT_LIST_DIR}/window_dpi.cpp
)
