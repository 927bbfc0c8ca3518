target_sources(tomorine_store PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/cfb_reader.cpp
    ${CMAKE_CURRENT_LIST_DIR}/xls_fault.cpp
)
