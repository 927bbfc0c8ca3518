// Saves a picture of the main window with a few entries listed, for a look
// at the layout: tomorine-screenshot OUT.png (run under Xvfb by
// scripts/screenshot).
#include "form1_harness.h"

#include <QApplication>
#include <QEventLoop>
#include <QTimer>

using namespace tomorine;
using namespace tomorine::test;

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc != 2) {
        return 2;
    }
    Form1Harness h;
    Form1Harness::WriteDataFile(
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
    QEventLoop loop;
    QTimer::singleShot(500, &loop, &QEventLoop::quit);
    loop.exec();
    return h.form().grab().save(QString::fromLocal8Bit(argv[1])) ? 0 : 1;
}
