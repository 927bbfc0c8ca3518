#pragma once

#include "store/workbook/workbook.h"
#include "store/xls/byte_source.h"
#include "store/xls/paged_stream.h"
#include "store/xls/stored_layout.h"

#include <cstddef>
#include <filesystem>

namespace tomorine {

// What ReadXlsBytes and ReadXlsDescriptor do, over any source. A workbook
// stream not read straight from memory is read in blocks of `blockBytes`;
// `heldBytes`, when given, gets the most of its bytes held at once (0 when
// it was not read in blocks). With the file's descriptor and stamp (taken
// before it was read), a file this codec wrote keeps its layout for a save
// by changes.
Workbook ReadXlsSource(xls::ByteSource& file, const std::filesystem::path& name,
                       std::size_t blockBytes = xls::PagedStream::DefaultBlockBytes,
                       std::size_t* heldBytes = nullptr, const xls::StoredFileId* stored = nullptr);

} // namespace tomorine
