#pragma once

#include <string_view>

namespace tomorine {

// The one rule for which URLs are links: http, https, ftp and file, the
// scheme in any case and right at the start. Imports take only these.
bool HasLinkScheme(std::u16string_view url);

// Whether an export may write `url` as a link: one with a link scheme, or a
// reference without any scheme (relative to the page). Any other scheme
// (javascript:, data:, vbscript: …) is written as plain text, so that no
// page we write runs a script when clicked; a scheme hidden from us by the
// spaces and line breaks a browser drops counts as another scheme.
bool IsLinkTarget(std::u16string_view url);

} // namespace tomorine
