// The main window on pipes, devices, folders and huge files as data file or
// settings file (a hang fails by the ctest TIMEOUT), and registering texts
// whose characters outside the BMP meet a chunk border or a cap.
#include "form1_harness.h"
#include "store/workbook/utf.h"
#include "support/hostile_files.h"
#include "support/xls_peer.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTest>

using namespace tomorine;
using namespace tomorine::test;

namespace {

namespace fs = std::filesystem;

void AddKinds() {
    QTest::addColumn<int>("kind");
    for (Hostile kind : kHostileKinds) {
        if (MayWriteAt(kind)) { // /dev/zero by the unprivileged pass only
            QTest::newRow(HostileName(kind)) << int(kind);
        }
    }
}

std::u16string Repeat(std::u16string_view unit, int count) {
    std::u16string text;
    for (int i = 0; i < count; ++i) {
        text += unit;
    }
    return text;
}

} // namespace

class HostileFilesTest : public QObject {
    Q_OBJECT
private slots:
    void aBadDataFileIsNamedAtStart_data() { AddKinds(); }
    void aBadDataFileIsNamedAtStart() {
        QFETCH(int, kind);
        Form1Harness h;
        const fs::path data = h.home() / "データ.xls";
        MakeHostile(Hostile(kind), data);
        h.setDataFileSetting(data.string());
        const std::string before = Fingerprint(data);
        h.load();
        bool named = false;
        for (const QString& text : h.takeMessages()) {
            named = named || text.contains(QString::fromStdString(data.string()));
        }
        QVERIFY(named);
        h.form().close();
        QCOMPARE(Fingerprint(data), before);
    }

    void aBadSettingsFileGivesANoticeAndDefaults_data() { AddKinds(); }
    void aBadSettingsFileGivesANoticeAndDefaults() {
        QFETCH(int, kind);
        Form1Harness h;
        Form1Harness::WriteDataFile(h.defaultDataFile(), {MakeEntry(1, u"http://a.jp/", u"一")});
        MakeHostile(Hostile(kind), h.appIni());
        const std::string before = Fingerprint(h.appIni());
        QVERIFY(h.load());
        const std::vector<MessageBoxSeam::Shown> shown = h.takeShown();
        QCOMPARE(shown.size(), size_t{1});
        QVERIFY2(shown[0].text.contains(QString::fromStdString(h.appIni().string())),
                 qPrintable(shown[0].text));
        QCOMPARE(shown[0].style, int(MessageStyle::Exclamation));
        QCOMPARE(h.form().Text6->text(), QString::fromStdString(h.defaultDataFile().string()));
        h.form().close(); // writes the settings, but never over a refused file
        QCOMPARE(Fingerprint(h.appIni()), before);
    }

    // xlrd refuses a whole workbook with half a surrogate pair in a cell.
    void registeredBorderTextsReadInXlrd() {
        Form1Harness h;
        QVERIFY(h.load());
        const std::u16string title = Repeat(u"あ", 124) + u"𠮷野家";
        const std::u16string comment = Repeat(u"c", 1999) + u"😀";
        h.setFields("http://a.jp/", QString::fromStdU16String(title), {}, {},
                    QString::fromStdU16String(comment));
        h.form().Command2->click();
        QCOMPARE(h.takeMessages(), QStringList{"登録しました"});
        const nlohmann::json values = XlrdValues(h.defaultDataFile());
        QVERIFY2(!values.contains("error"), values.dump().c_str());
        const std::vector<Entry> stored = Form1Harness::ReadLiveEntries(h.defaultDataFile());
        QCOMPARE(stored.size(), size_t{1});
        QVERIFY(stored[0].title == title);
        QVERIFY(stored[0].comment == Repeat(u"c", 1999));
    }
};

QTEST_MAIN(HostileFilesTest)
#include "form1_hostile_files_test.moc"
