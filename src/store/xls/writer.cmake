# The .xls writer: BIFF8 records in a compound file, saved atomically.
target_sources(tomorine_xls PRIVATE
    cell_record_writer.cpp
    compound_file_writer.cpp
    format_records.cpp
    globals_records.cpp
    record_writer.cpp
    shared_string_writer.cpp
    sheet_records.cpp
    substream_records.cpp
    save_by_changes.cpp
    xls_writer.cpp
)
