#include "mainwindow/deletion_notice.h"

#include "mainwindow/named_widget.h"

#include <QLabel>
#include <QVBoxLayout>

namespace tomorine {

DeletionNotice::DeletionNotice(QWidget* parent) : QWidget(parent, Qt::Dialog) {
    setObjectName(QStringLiteral("DeletionNotice"));
    setWindowTitle(QStringLiteral("データ削除"));
    messageLabel = Named<QLabel>(this, "messageLabel");
    messageLabel->setAlignment(Qt::AlignCenter);
    messageLabel->setMinimumSize(240, 48);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(messageLabel);
    resize(280, 88);
}

} // namespace tomorine
