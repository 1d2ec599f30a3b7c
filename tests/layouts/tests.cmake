list(APPEND CORE_TESTS
    ${CMAKE_CURRENT_LIST_DIR}/shipped_layouts_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/layout_install_test.cpp
)
list(APPEND WIN_TESTS
)
