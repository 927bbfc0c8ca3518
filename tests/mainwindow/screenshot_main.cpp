// Saves a picture of the main window with a few entries listed, for a look
// at the layout: tomorine-screenshot OUT.png [form2|form3|form4|box] (run
// under Xvfb by scripts/screenshot). With a window named, the picture is of
// the screen round that window, frame and title bar included, as the window
// manager drew them.
#include "form1_harness.h"
#include "mainwindow/form2.h"
#include "mainwindow/form3.h"
#include "mainwindow/form4.h"

#include <QApplication>
#include <QEventLoop>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>
#include <QTimer>
#include <QTreeWidget>

using namespace tomorine;
using namespace tomorine::test;

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc != 2 && argc != 3) {
        return 2;
    }
    Form1Harness h;
    WriteEntries(
        h.defaultDataFile(),
        {MakeEntry(1, u"https://www.jma.go.jp/", u"気象庁｜天気予報", u"天気 ニュース"),
         MakeEntry(2, u"https://www3.nhk.or.jp/news/", u"NHK ニュース", u"ニュース"),
         MakeEntry(7, u"https://doc.qt.io/qt-6/", u"Qt 6 ドキュメント", u"Qt C++ 技術"),
         MakeEntry(12, u"https://www.aozora.gr.jp/", u"青空文庫　Aozora Bunko", u"本 文学"),
         MakeEntry(345, u"https://cookpad.com/", u"クックパッド - 料理レシピ", u"料理 レシピ"),
         MakeEntry(1024, u"https://www.japan-guide.com/", u"旅行ガイド 日本", u"旅行")});
    if (!h.load()) {
        return 1;
    }
    h.form().show();
    h.form().Command1->click();
    h.form().List1->setCurrentRow(2);
    const QString out = QString::fromLocal8Bit(argv[1]);
    const QString name = argc == 3 ? QString::fromLocal8Bit(argv[2]) : QString();
    QWidget* shown = &h.form();
    if (name == "form2" || name == "form3") {
        shown = name == "form2" ? static_cast<QWidget*>(h.form().form2) : h.form().form3.data();
        shown->show();
    } else if (name == "form4") {
        // The look of a running check, without a check (no request leaves).
        Form4& form4 = *h.form().form4;
        form4.StatusBar1->showMessage(QStringLiteral("[開始]:[7]:<12>:Qt 6 ドキュメント"));
        form4.Label3->setText(QStringLiteral("3 / 6"));
        form4.ProgressBar1->setRange(0, 6);
        form4.ProgressBar1->setValue(3);
        form4.List1->setFocus();
        form4.QDialog::show();
        shown = &form4;
    } else if (name == "box") {
        MessageBoxSeam::stopRecording();
        QTimer::singleShot(0, [&] { MessageBox(&h.form(), "作成完了", MessageStyle::Ok); });
    } else {
        h.form().List1->setFocus();
    }
    bool saved = false;
    QEventLoop loop;
    QTimer::singleShot(name.isEmpty() ? 800 : 2000, [&] {
        if (name.isEmpty()) {
            saved = h.form().grab().save(out);
        } else {
            QWidget* window = name == "box" ? QApplication::activeModalWidget() : shown;
            const QRect frame = window->frameGeometry().adjusted(-8, -8, 8, 8);
            saved = QGuiApplication::primaryScreen()->grabWindow(0).copy(frame).save(out);
            window->close();
        }
        loop.quit();
    });
    loop.exec();
    return saved ? 0 : 1;
}
