#include "mainwindow/deletion_notice.h"

#include <QLabel>
#include <QVBoxLayout>

namespace tomorine {

DeletionNotice::DeletionNotice(QWidget* parent) : QWidget(parent, Qt::Dialog) {
    setObjectName(QStringLiteral("DeletionNotice"));
    setWindowTitle(QStringLiteral("データ削除"));
    messageLabel = new QLabel(this);
    messageLabel->setObjectName(QStringLiteral("messageLabel"));
    messageLabel->setAlignment(Qt::AlignCenter);
    messageLabel->setMinimumSize(240, 48);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(messageLabel);
    resize(280, 88);
}

} // namespace tomorine
