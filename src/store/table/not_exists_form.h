#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tomorine {

// One condition "(outer.x = inner.y or outer.x Is Null)" (the equality may
// also be written "inner.y = outer.x").
struct NotExistsPair {
    std::string outerColumn;
    std::string innerColumn;
};

// A statement of the form
//   SELECT o.* FROM o WHERE NOT EXISTS ( SELECT i.* FROM i WHERE
//     (o.x1 = i.y1 or o.x1 Is Null) and … and (o.xn = i.yn or o.xn Is Null) )
// with table names o and i that differ (identifiers bare or in [], "" or ``,
// keywords in any case, any blanks). The subquery may select * instead of i.*.
// Names are as written, brackets and quotes removed.
struct NotExistsForm {
    std::string outerTable;
    std::string innerTable;
    std::vector<NotExistsPair> pairs;
};

// The form of `sql`, or nothing when it is not exactly of this form
// (comments, aliases, other conditions, a trailing semicolon …).
std::optional<NotExistsForm> RecogniseNotExists(std::string_view sql);

} // namespace tomorine
