#pragma once

#include <QWidget>

class QLabel;

namespace tomorine {

// The deletion notice: shown, without blocking the main window, while an
// entry is being deleted and for a moment after.
class Form6 : public QWidget {
    Q_OBJECT
public:
    explicit Form6(QWidget* parent = nullptr);

    QLabel* Label1;
};

} // namespace tomorine
