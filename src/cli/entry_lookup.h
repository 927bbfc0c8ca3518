#pragma once

#include "store/entry.h"
#include "store/table/connection.h"

#include <cstdint>
#include <optional>

namespace tomorine::cli {

// The live entry (削除 = 0) with this serial: the first in sheet order when
// several share it. Entries flagged as deleted, and the dummy row, are not
// found, so that no command can show or revive them.
std::optional<Entry> FindLiveEntry(Connection& connection, std::int32_t serial);

} // namespace tomorine::cli
