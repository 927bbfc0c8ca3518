#include "mainwindow/focus_frame.h"

#include <QAbstractItemView>

namespace tomorine {

void ShowFocusFrame(QAbstractItemView* list) {
    list->setStyleSheet(QStringLiteral("%1 { border: 1px solid palette(mid); }"
                                       "%1:focus { border: 2px solid palette(highlight); }")
                            .arg(QString::fromLatin1(list->metaObject()->className())));
}

} // namespace tomorine
