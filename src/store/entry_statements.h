#pragma once

#include "store/entry.h"

#include <cstdint>
#include <string>

namespace tomorine {

// The statement that adds an entry under serial `serial`. Serial and deleted
// flag are quoted although both columns hold numbers; the table interface
// stores them as numbers.
std::u16string BuildInsertStatement(std::int32_t serial, const Entry& entry);

// The statement that rewrites all 58 columns of the entry whose serial is
// `serial` (the serial quoted in SET, bare in WHERE).
std::u16string BuildUpdateStatement(std::int32_t serial, const Entry& entry);

} // namespace tomorine
