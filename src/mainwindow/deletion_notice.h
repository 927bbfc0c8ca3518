#pragma once

#include <QWidget>

class QLabel;

namespace tomorine {

// The deletion notice: shown, without blocking the main window, while an
// entry is being deleted and for a moment after.
class DeletionNotice : public QWidget {
    Q_OBJECT
public:
    explicit DeletionNotice(QWidget* parent = nullptr);

    QLabel* messageLabel;
};

} // namespace tomorine
