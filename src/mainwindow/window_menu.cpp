#include "mainwindow/window_menu.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QEvent>
#include <QVariant>
#include <QWidget>
#include <QWindow>

namespace tomorine {

namespace {

constexpr char kRemoved[] = "tomorineRemovedMenuItems";
constexpr char kDefaultFlags[] = "tomorineDefaultWindowFlags";
constexpr char kDefaultMin[] = "tomorineDefaultMinimumSize";
constexpr char kDefaultMax[] = "tomorineDefaultMaximumSize";
constexpr char kClosingByProgram[] = "tomorineClosingByProgram";

enum RemovedBit { SizeBit = 1, MinimizeBit = 2, MaximizeBit = 4, CloseBit = 8 };

// Swallows the closes a user starts (window button, window manager) while
// the close item is removed. Every close of a top-level window passes its
// platform window, so the guard sits on that and lets the program's own
// closes (CloseByProgram) through.
class CloseGuard : public QObject {
public:
    explicit CloseGuard(QWidget* window) : QObject(window), window_(window) { attach(); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == window_) {
            if (event->type() == QEvent::Show || event->type() == QEvent::WinIdChange) {
                attach();
            }
            return false;
        }
        if (event->type() == QEvent::Close && IsCloseRemoved(window_) &&
            !IsClosingByProgram(window_)) {
            event->ignore();
            QEvent refused(static_cast<QEvent::Type>(CloseRefusedEventType()));
            QCoreApplication::sendEvent(window_, &refused);
            return true;
        }
        return false;
    }

private:
    void attach() {
        window_->removeEventFilter(this);
        window_->installEventFilter(this);
        if (QWindow* handle = window_->windowHandle()) {
            handle->removeEventFilter(this);
            handle->installEventFilter(this);
        }
    }

    QWidget* window_;
};

void RememberDefaults(QWidget* window) {
    if (window->property(kDefaultFlags).isValid()) {
        return;
    }
    window->setProperty(kDefaultFlags, static_cast<int>(window->windowFlags()));
    window->setProperty(kDefaultMin, window->minimumSize());
    window->setProperty(kDefaultMax, window->maximumSize());
    window->installEventFilter(new CloseGuard(window));
}

void ApplyFlags(QWidget* window, Qt::WindowFlags flags) {
    bool visible = window->isVisible();
    window->setWindowFlags(flags);
    if (visible) {
        window->show();
    }
}

Qt::WindowFlags TrimmedFlags(QWidget* window, int removed) {
    Qt::WindowFlags flags = Qt::WindowFlags(window->property(kDefaultFlags).toInt());
    flags |= Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint;
    flags.setFlag(Qt::WindowMaximizeButtonHint, (removed & (SizeBit | MaximizeBit)) == 0);
    flags.setFlag(Qt::WindowMinimizeButtonHint, (removed & MinimizeBit) == 0);
    flags.setFlag(Qt::WindowCloseButtonHint, (removed & CloseBit) == 0);
    return flags;
}

int BitOf(int item) {
    switch (item) {
    case 2:
        return SizeBit;
    case 3:
        return MinimizeBit;
    case 4:
        return MaximizeBit;
    case 5:
    case 6:
        return CloseBit;
    default:
        return 0;
    }
}

} // namespace

bool IsClosingByProgram(const QWidget* window) {
    return window->property(kClosingByProgram).toBool();
}

void CloseByProgram(QWidget* window) {
    window->setProperty(kClosingByProgram, true);
    window->close();
    window->setProperty(kClosingByProgram, false);
}

int CloseRefusedEventType() {
    static const int type = QEvent::registerEventType();
    return type;
}

bool IsCloseRemoved(const QWidget* window) {
    return (window->property(kRemoved).toInt() & CloseBit) != 0;
}

int RemoveSystemMenuItem(QWidget* window, int item, bool restore) {
    RememberDefaults(window);
    if (restore) {
        window->setProperty(kRemoved, 0);
        window->setMinimumSize(window->property(kDefaultMin).toSize());
        window->setMaximumSize(window->property(kDefaultMax).toSize());
        ApplyFlags(window, Qt::WindowFlags(window->property(kDefaultFlags).toInt()));
        return 0;
    }
    if (item < 0 || item > 6) {
        return 0;
    }
    int removed = window->property(kRemoved).toInt() | BitOf(item);
    window->setProperty(kRemoved, removed);
    if (item == 2) {
        // A window that was never given a size takes the one its layout asks for.
        if (!window->testAttribute(Qt::WA_Resized)) {
            window->adjustSize();
        }
        window->setFixedSize(window->size());
    }
    ApplyFlags(window, TrimmedFlags(window, removed));
    return 1;
}

} // namespace tomorine
