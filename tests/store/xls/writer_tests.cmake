# writer tests
tomorine_test(test_xls_writer
    SOURCES
        ${CMAKE_CURRENT_LIST_DIR}/compound_file_writer_test.cpp
        ${CMAKE_CURRENT_LIST_DIR}/record_dump.cpp
        ${CMAKE_CURRENT_LIST_DIR}/xls_writer_records_test.cpp
        ${CMAKE_CURRENT_LIST_DIR}/xls_writer_values_test.cpp
    LIBS tomorine_xls_peer)
