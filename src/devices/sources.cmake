list(APPEND TAPWISE_CORE_SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/device_identity.cpp
)
list(APPEND TAPWISE_WIN_SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/device_identity_win.cpp
)
