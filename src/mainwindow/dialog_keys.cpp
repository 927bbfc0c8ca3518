#include "mainwindow/dialog_keys.h"

#include "mainwindow/window_menu.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QPushButton>

namespace tomorine {

namespace {

bool IsEnter(const QKeyEvent* key) {
    return key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
}

// Sees the keys the window's controls leave unused (a line edit passes Enter
// on, a push button that is not a QDialog's passes Enter and Esc on).
class DialogKeys : public QObject {
public:
    DialogKeys(QWidget* window, QPushButton* defaultButton)
        : QObject(window), window_(window), defaultButton_(defaultButton) {}

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() != QEvent::KeyPress) {
            return false;
        }
        const auto* key = static_cast<QKeyEvent*>(event);
        const Qt::KeyboardModifiers mods = key->modifiers() & ~Qt::KeypadModifier;
        if (IsEnter(key) && mods == Qt::NoModifier) {
            auto* focused = qobject_cast<QPushButton*>(QApplication::focusWidget());
            QPushButton* button =
                focused != nullptr && window_->isAncestorOf(focused) ? focused : defaultButton_;
            button->click();
            return true;
        }
        if (key->key() == Qt::Key_Escape && mods == Qt::NoModifier) {
            if (!IsCloseRemoved(window_)) {
                window_->close();
            }
            return true;
        }
        return false;
    }

private:
    QWidget* window_;
    QPushButton* defaultButton_;
};

class CtrlEnter : public QObject {
public:
    CtrlEnter(QObject* parent, QPushButton* button) : QObject(parent), button_(button) {}

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() != QEvent::KeyPress) {
            return false;
        }
        const auto* key = static_cast<QKeyEvent*>(event);
        if (IsEnter(key) && (key->modifiers() & ~Qt::KeypadModifier) == Qt::ControlModifier) {
            button_->click();
            return true;
        }
        return false;
    }

private:
    QPushButton* button_;
};

} // namespace

void InstallDialogKeys(QWidget* window, QPushButton* defaultButton) {
    defaultButton->setDefault(true);
    window->installEventFilter(new DialogKeys(window, defaultButton));
}

void InstallCtrlEnter(QPlainTextEdit* field, QPushButton* button) {
    field->installEventFilter(new CtrlEnter(field, button));
}

} // namespace tomorine
