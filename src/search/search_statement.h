#pragma once

#include <string>
#include <string_view>

namespace tomorine {

// The select statement of a search: every live entry ("削除 = 0"), and when a
// URL is given only the entries whose 16 URL chunks equal its chunks exactly
// (an empty chunk as "is Null"), as this version cuts them or, for a URL
// that earlier versions cut inside a character, as they did. Words of the five texts are tested in
// the program, row by row, not here.
std::u16string BuildSearchStatement(std::u16string_view urlText);

} // namespace tomorine
