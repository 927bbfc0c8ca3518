target_sources(tomorine_xls PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/biff_record_reader.cpp
    ${CMAKE_CURRENT_LIST_DIR}/byte_source.cpp
    ${CMAKE_CURRENT_LIST_DIR}/cell_records.cpp
    ${CMAKE_CURRENT_LIST_DIR}/cfb_reader.cpp
    ${CMAKE_CURRENT_LIST_DIR}/continued_reader.cpp
    ${CMAKE_CURRENT_LIST_DIR}/paged_stream.cpp
    ${CMAKE_CURRENT_LIST_DIR}/row_spans.cpp
    ${CMAKE_CURRENT_LIST_DIR}/stored_layout.cpp
    ${CMAKE_CURRENT_LIST_DIR}/shared_strings.cpp
    ${CMAKE_CURRENT_LIST_DIR}/sheet_builder.cpp
    ${CMAKE_CURRENT_LIST_DIR}/workbook_globals.cpp
    ${CMAKE_CURRENT_LIST_DIR}/worksheet_reader.cpp
    ${CMAKE_CURRENT_LIST_DIR}/xls_fault.cpp
    ${CMAKE_CURRENT_LIST_DIR}/xls_reader.cpp
)
