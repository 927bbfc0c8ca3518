// IE取得 on an X11 desktop: the main window on Qt's xcb platform under Xvfb
// and openbox beside firefox-esr showing a local page. The watch must keep
// the browser when the main window comes to the front, and the button must
// fill the fields from the page the browser shows.
#include "browser/capture.h"
#include "form1_harness.h"
#include "local_http_server.h"
#include "x_session.h"

#include <QApplication>
#include <cstdio>
#include <fstream>

using namespace tomorine;
using namespace tomorine::test;

namespace {

const QString kTitle = QStringLiteral("X11の頁");

} // namespace

class CaptureX11Test : public QObject {
    Q_OBJECT
public:
    explicit CaptureX11Test(std::string display) : display_(std::move(display)) {}

private:
    std::string display_;

private slots:
    void theButtonCapturesThePageFirefoxShows() {
        LocalHttpServer server;
        server.serve("/x11", {"text/html; charset=utf-8",
                              "<title>" + kTitle.toStdString() +
                                  "</title><meta content=\"x11,firefox\" name=\"keywords\">"});
        TempDir home;
        const auto profile = home / ".mozilla/firefox/t.profile";
        std::filesystem::create_directories(profile);
        std::ofstream(home / ".mozilla/firefox/profiles.ini")
            << "[Profile0]\nName=t\nIsRelative=1\nPath=t.profile\nDefault=1\n";
        std::filesystem::copy_file(TOMORINE_FIREFOX_USER_JS, profile / "user.js");
        Form1::SetCaptureEnvironment([&] {
            CaptureEnvironment env;
            env.home = home.path();
            env.configHome = home / ".config";
            return env;
        });

        Form1Harness h;
        QVERIFY(h.load());
        h.form().show();
        Child firefox(
            {"firefox-esr", "-no-remote", "-profile", profile.string(), server.url("/x11")},
            {"DISPLAY=" + display_, "HOME=" + home.path().string(), "MOZ_CRASHREPORTER_DISABLE=1"});
        QTRY_VERIFY_WITH_TIMEOUT(
            QString::fromStdString(h.state().LastForeignWindow.title).startsWith(kTitle), 90000);
        const std::uint32_t browser = h.state().LastForeignWindow.id;

        h.form().activateWindow();
        h.form().raise();
        QTRY_VERIFY_WITH_TIMEOUT(h.form().isActiveWindow(), 10000);
        QTest::qWait(300);
        QCOMPARE(h.state().LastForeignWindow.id, browser);

        // The browser writes its records a moment after it shows the page.
        for (int i = 0; i < 60 && h.form().Text1->text().isEmpty(); ++i) {
            h.form().Command8->click();
            if (h.form().Text1->text().isEmpty()) {
                QTest::qWait(1000);
            }
        }
        QCOMPARE(h.form().Text1->text(), QString::fromStdString(server.url("/x11")));
        QCOMPARE(h.form().Text2->text(), kTitle);
        QCOMPARE(h.form().Text4->text(), QString("X11 FIREFOX"));
        Form1::SetCaptureEnvironment({});
    }
};

int main(int argc, char** argv) {
    for (const char* program : {"Xvfb", "openbox", "firefox-esr"}) {
        if (!OnPath(program)) {
            std::printf("SKIP: %s is not installed\n", program);
            return 77;
        }
    }
    XvfbSession display;
    if (display.name().empty()) {
        std::printf("FAIL: Xvfb did not start\n");
        return 1;
    }
    setenv("DISPLAY", display.name().c_str(), 1);
    setenv("QT_QPA_PLATFORM", "xcb", 1);
    unsetenv("XDG_SESSION_TYPE");
    unsetenv("WAYLAND_DISPLAY");
    int status = 0;
    {
        QApplication app(argc, argv);
        CaptureX11Test test(display.name());
        status = QTest::qExec(&test, argc, argv);
    }
    return status;
}

#include "form1_capture_x11_test.moc"
