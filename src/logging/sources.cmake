list(APPEND TAPWISE_CORE_SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/paths.cpp
    ${CMAKE_CURRENT_LIST_DIR}/event_log.cpp
    ${CMAKE_CURRENT_LIST_DIR}/log_saving.cpp
    ${CMAKE_CURRENT_LIST_DIR}/file_set.cpp
    ${CMAKE_CURRENT_LIST_DIR}/log_line_queue.cpp
    ${CMAKE_CURRENT_LIST_DIR}/log_rtf.cpp
    ${CMAKE_CURRENT_LIST_DIR}/std_log_files.cpp
    ${CMAKE_CURRENT_LIST_DIR}/printable_text.cpp
)
list(APPEND TAPWISE_WIN_SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/logger_choice_win.cpp
    ${CMAKE_CURRENT_LIST_DIR}/log_files_win.cpp
    ${CMAKE_CURRENT_LIST_DIR}/shell_folder_win.cpp
)
