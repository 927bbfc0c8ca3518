#include "mainwindow/select_all_on_focus.h"

#include <QEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTimer>

namespace tomorine {

bool SelectAllOnFocus::eventFilter(QObject* watched, QEvent* event) {
    // Selected once the focus change is done, so the click that brought the
    // focus does not place the cursor over the selection.
    if (event->type() == QEvent::FocusIn) {
        if (auto* line = qobject_cast<QLineEdit*>(watched)) {
            QTimer::singleShot(0, line, &QLineEdit::selectAll);
        } else if (auto* plain = qobject_cast<QPlainTextEdit*>(watched)) {
            QTimer::singleShot(0, plain, &QPlainTextEdit::selectAll);
        }
    }
    return false;
}

} // namespace tomorine
