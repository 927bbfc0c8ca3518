#include "mainwindow/tab_order.h"

#include "mainwindow/form1.h"

#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>

namespace tomorine {

void SetTabChain(std::initializer_list<QWidget*> widgets) {
    const QWidget* previous = nullptr;
    for (QWidget* widget : widgets) {
        if (previous != nullptr) {
            QWidget::setTabOrder(const_cast<QWidget*>(previous), widget);
        }
        previous = widget;
    }
}

void SetForm1TabOrder(Form1& f) {
    SetTabChain({f.Text1, f.Text2, f.Text3, f.Text4, f.Text5,
                 // the editor's column of buttons, top to bottom
                 f.Command1, f.Command2, f.Command4, f.Command3, f.Command6,
                 // the tool row, left to right
                 f.Command8, f.Command7, f.Command10, f.Command11, f.Command12, f.Command13,
                 f.Command14,
                 f.List1, f.Text6, f.Command9, f.Command5});
}

} // namespace tomorine
