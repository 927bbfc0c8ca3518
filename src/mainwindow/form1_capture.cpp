// The foreground watch and the capture of the browser's page command.
#include "browser/capture.h"
#include "browser/foreground_watch.h"
#include "mainwindow/form1.h"
#include "mainwindow/module_state.h"
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
void Form1::SetDesktop(std::function<std::unique_ptr<Desktop>()> open) {
    DesktopSeam() = open ? std::move(open) : OpenSessionDesktop;
}

void Form1::SetCaptureEnvironment(std::function<CaptureEnvironment()> environment) {
    EnvironmentSeam() = environment ? std::move(environment) : DefaultCaptureEnvironment;
}

void Form1::StartForegroundWatch() {
    if (!Timer1) {
        Timer1 = new QTimer(this);
        Timer1->setObjectName(QStringLiteral("Timer1"));
        connect(Timer1, &QTimer::timeout, this, &Form1::Timer1_Timer);
        desktop_ = DesktopSeam()();
        // The link check holds the watch while it runs.
        state_.SetForegroundWatchEnabled = [this](bool enabled) {
            enabled ? ResumeForegroundWatch() : PauseForegroundWatch();
        };
    }
    Timer1->setInterval(100);
    Timer1->start();
}

void Form1::PauseForegroundWatch() {
    if (Timer1) {
        Timer1->stop();
    }
}

void Form1::ResumeForegroundWatch() {
    if (Timer1) {
        Timer1->start();
    }
}

void Form1::Timer1_Timer() {
    if (desktop_) {
        WatchForeground(*desktop_, IsOwnWindow, state_.LastForeignWindow);
    }
}

// The records are read and the page fetched on a thread of their own; the
// window keeps painting meanwhile, and clicks wait until the capture is done.
CapturedPage Form1::CaptureFromBrowser() {
    CaptureEnvironment environment = EnvironmentSeam()();
    if (!environment.clipboardText) {
        const std::string clipboard = QGuiApplication::clipboard()->text().toStdString();
        environment.clipboardText = [clipboard] { return clipboard; };
    }
    std::atomic<bool> waiting = false;
    environment.waiting = [&waiting] { waiting = true; };
    const ForeignWindow window = state_.LastForeignWindow;
    auto capture = std::async(std::launch::async, [window, environment] {
        return tomorine::CaptureFromBrowser(window, environment);
    });
    QApplication::setOverrideCursor(Qt::BusyCursor);
    while (capture.wait_for(std::chrono::milliseconds(20)) != std::future_status::ready) {
        if (waiting.exchange(false)) {
            Label8->setText(QStringLiteral("ブラウザがページを記録するのを待っています…"));
        }
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents, 20);
    }
    QApplication::restoreOverrideCursor();
    Label8->clear();
    return capture.get();
}

void Form1::Command8_Click() {
    Command2->setText(QStringLiteral("登録"));
    search_.EntrySelected = false;
    ClearEntryForm();
    ResetListCaption();
    search_.HitCount = 0;
    const CapturedPage page = CaptureFromBrowser();
    Text1->setText(ToQString(page.url));
    // Looked up by the URL alone, as a drop is: a stored page whose title
    // changed since is found all the same, and no duplicate registered.
    FindEntryByUrl();
    if (!page.url.empty() && search_.HitCount == 0) {
        Text2->setText(ToQString(page.title));
        Text4->setText(ToQString(page.keywords));
    }
}

} // namespace tomorine
