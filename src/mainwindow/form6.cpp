#include "mainwindow/form6.h"

#include <QLabel>
#include <QVBoxLayout>

namespace tomorine {

Form6::Form6(QWidget* parent) : QWidget(parent, Qt::Dialog) {
    setObjectName(QStringLiteral("Form6"));
    setWindowTitle(QStringLiteral("データ削除"));
    Label1 = new QLabel(this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setAlignment(Qt::AlignCenter);
    Label1->setMinimumSize(240, 48);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Label1);
    resize(280, 88);
}

} // namespace tomorine
