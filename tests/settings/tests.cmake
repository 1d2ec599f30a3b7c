list(APPEND CORE_TESTS
    ${CMAKE_CURRENT_LIST_DIR}/settings_store_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ini_file_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/settings_page_test.cpp
)
list(APPEND WIN_TESTS
    ${CMAKE_CURRENT_LIST_DIR}/profile_win_test.cpp
)
