# writer tests
tomorine_test(test_xls_writer
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/xls_writer_test.cpp
    LIBS tomorine_xls_peer)
