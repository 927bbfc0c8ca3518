// The foreground watch and the capture of the browser's page command.
#include "browser/capture.h"
#include "browser/foreground_watch.h"
#include "mainwindow/link_check_dialog.h"
#include "mainwindow/main_window.h"
#include "mainwindow/qt_text.h"

#include <QApplication>
#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <future>

namespace tomorine {

namespace {

// Only an X11 session tells which window is active; Wayland keeps that to
// itself, even from programs it runs through XWayland.
std::unique_ptr<Desktop> OpenSessionDesktop() {
    const char* session = std::getenv("XDG_SESSION_TYPE");
    if (QGuiApplication::platformName() != QLatin1String("xcb") ||
        (session && std::string(session) == "wayland")) {
        return nullptr;
    }
    return OpenX11Desktop();
}

std::function<std::unique_ptr<Desktop>()>& DesktopSeam() {
    static std::function<std::unique_ptr<Desktop>()> open = OpenSessionDesktop;
    return open;
}

std::function<CaptureEnvironment()>& EnvironmentSeam() {
    static std::function<CaptureEnvironment()> environment = DefaultCaptureEnvironment;
    return environment;
}

bool IsOwnWindow(std::uint32_t id) {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (widget->internalWinId() == id) {
            return true;
        }
    }
    return false;
}

} // namespace

// An empty function puts the session's own back.
void MainWindow::setDesktop(std::function<std::unique_ptr<Desktop>()> open) {
    DesktopSeam() = open ? std::move(open) : OpenSessionDesktop;
}

void MainWindow::setCaptureEnvironment(std::function<CaptureEnvironment()> environment) {
    EnvironmentSeam() = environment ? std::move(environment) : DefaultCaptureEnvironment;
}

void MainWindow::startForegroundWatch() {
    if (!foregroundTimer) {
        foregroundTimer = new QTimer(this);
        foregroundTimer->setObjectName(QStringLiteral("foregroundTimer"));
        connect(foregroundTimer, &QTimer::timeout, this, &MainWindow::watchForeground);
        desktop_ = DesktopSeam()();
        // The link check holds the watch while it runs.
        linkCheckDialog->setForegroundWatchEnabled = [this](bool enabled) {
            enabled ? resumeForegroundWatch() : pauseForegroundWatch();
        };
    }
    foregroundTimer->setInterval(100);
    foregroundTimer->start();
}

void MainWindow::pauseForegroundWatch() {
    if (foregroundTimer) {
        foregroundTimer->stop();
    }
}

void MainWindow::resumeForegroundWatch() {
    if (foregroundTimer) {
        foregroundTimer->start();
    }
}

void MainWindow::watchForeground() {
    if (desktop_) {
        WatchForeground(*desktop_, IsOwnWindow, lastForeignWindow_);
    }
}

// The records are read and the page fetched on a thread of their own; the
// window keeps painting meanwhile, and clicks wait until the capture is done.
CapturedPage MainWindow::captureFromBrowser() {
    CaptureEnvironment environment = EnvironmentSeam()();
    if (!environment.clipboardText) {
        const std::string clipboard = QGuiApplication::clipboard()->text().toStdString();
        environment.clipboardText = [clipboard] { return clipboard; };
    }
    std::atomic<bool> waiting = false;
    environment.waiting = [&waiting] { waiting = true; };
    const ForeignWindow window = lastForeignWindow_;
    auto capture = std::async(std::launch::async, [window, environment] {
        return tomorine::CaptureFromBrowser(window, environment);
    });
    QApplication::setOverrideCursor(Qt::BusyCursor);
    while (capture.wait_for(std::chrono::milliseconds(20)) != std::future_status::ready) {
        if (waiting.exchange(false)) {
            hitCountLabel->setText(QStringLiteral("ブラウザがページを記録するのを待っています…"));
        }
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents, 20);
    }
    QApplication::restoreOverrideCursor();
    hitCountLabel->clear();
    return capture.get();
}

void MainWindow::captureBrowserPage() {
    registerButton->setText(QStringLiteral("登録"));
    search_.entrySelected = false;
    clearEntryForm();
    resetListCaption();
    search_.hitCount = 0;
    const CapturedPage page = captureFromBrowser();
    urlField->setText(ToQString(page.url));
    // Looked up by the URL alone, as a drop is: a stored page whose title
    // changed since is found all the same, and no duplicate registered.
    findEntryByUrl();
    if (!page.url.empty() && search_.hitCount == 0) {
        titleField->setText(ToQString(page.title));
        keywordsField->setText(ToQString(page.keywords));
    }
}

} // namespace tomorine
