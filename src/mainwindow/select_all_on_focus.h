#pragma once

#include <QObject>

namespace tomorine {

// Installed on text fields, makes them select their whole text when they get
// the focus, so that a click or a tab into a field lets the user type over
// it. One filter may serve any number of QLineEdit and QPlainTextEdit fields.
class SelectAllOnFocus : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

} // namespace tomorine
