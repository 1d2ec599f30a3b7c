list(APPEND TAPWISE_CORE_SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/elapsed_clock.cpp
    ${CMAKE_CURRENT_LIST_DIR}/raw_decoder.cpp
    ${CMAKE_CURRENT_LIST_DIR}/background_key_filter.cpp
    ${CMAKE_CURRENT_LIST_DIR}/key_record_inbox.cpp
    ${CMAKE_CURRENT_LIST_DIR}/bounded_text.cpp
    ${CMAKE_CURRENT_LIST_DIR}/key_states.cpp
    ${CMAKE_CURRENT_LIST_DIR}/key_statistics.cpp
    ${CMAKE_CURRENT_LIST_DIR}/key_test_engine.cpp
    ${CMAKE_CURRENT_LIST_DIR}/remap_table.cpp
)
list(APPEND TAPWISE_WIN_SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/elapsed_clock_win.cpp
    ${CMAKE_CURRENT_LIST_DIR}/raw_input_win.cpp
    ${CMAKE_CURRENT_LIST_DIR}/input_thread_win.cpp
    ${CMAKE_CURRENT_LIST_DIR}/lock_indicators_win.cpp
    ${CMAKE_CURRENT_LIST_DIR}/scancode_map_win.cpp
    ${CMAKE_CURRENT_LIST_DIR}/worker_thread_win.cpp
)
