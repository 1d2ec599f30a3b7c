list(APPEND TAPWISE_CORE_SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/raw_decoder.cpp
    ${CMAKE_CURRENT_LIST_DIR}/bounded_text.cpp
    ${CMAKE_CURRENT_LIST_DIR}/key_replay.cpp
    ${CMAKE_CURRENT_LIST_DIR}/key_states.cpp
    ${CMAKE_CURRENT_LIST_DIR}/key_test_engine.cpp
    ${CMAKE_CURRENT_LIST_DIR}/remap_table.cpp
)
list(APPEND TAPWISE_WIN_SOURCES
)
