#include "store/xls/stored_layout.h"

namespace tomorine::xls {

void StoredLayout::Attach(const Workbook& book, std::shared_ptr<const StoredLayout> layout) {
    for (int i = 1; i <= book.sheetCount(); ++i) {
        book.sheet(i).markStored(layout ? i : 0);
    }
    book.setStoredForm(std::move(layout));
}

} // namespace tomorine::xls
