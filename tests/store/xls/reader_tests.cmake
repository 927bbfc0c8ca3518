# reader tests
add_library(tomorine_xls_reader_test_support STATIC
    ${CMAKE_CURRENT_LIST_DIR}/biff_stream_builder.cpp)
target_link_libraries(tomorine_xls_reader_test_support PUBLIC tomorine_xls_peer)

tomorine_test(test_xls_reader
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/xls_reader_test.cpp
    LIBS tomorine_xls_reader_test_support)

tomorine_test(test_xls_reader_hostile
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/hostile_input_test.cpp
            ${CMAKE_CURRENT_LIST_DIR}/largest_allocation.cpp
    LIBS tomorine_xls_reader_test_support)
# Permission bits hold only for a user other than root.
tomorine_unprivileged_test(test_xls_reader_unprivileged test_xls_reader
                           "ReadXlsFileTest.UnreadableFileIsPermissionDenied")
