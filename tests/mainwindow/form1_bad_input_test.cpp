// A bad data file through the real main window: the promised messages, and
// the file as it was.
#include "form1_harness.h"

#include <sys/stat.h>
#include <unistd.h>

using namespace tomorine;
using namespace tomorine::test;

namespace {

namespace fs = std::filesystem;

enum Condition { NotAWorkbook, MissingFolder, ReadOnly };

} // namespace

class BadInputTest : public QObject {
    Q_OBJECT
private slots:
    void aBadDataFileIsLeftAsItWas_data() {
        QTest::addColumn<int>("condition");
        QTest::addColumn<QStringList>("searched"); // each message shown contains its text
        QTest::newRow("not a workbook")
            << int(NotAWorkbook) << QStringList{"bad.xls", "キー指定に誤りがあります"};
        QTest::newRow("missing folder")
            << int(MissingFolder) << QStringList{"データファイルがありません"};
        QTest::newRow("read-only file") << int(ReadOnly) << QStringList{};
    }
    void aBadDataFileIsLeftAsItWas() {
        QFETCH(int, condition);
        QFETCH(QStringList, searched);
        if (condition == ReadOnly && geteuid() == 0) {
            QSKIP("root ignores permission bits; ctest runs this once more unprivileged");
        }
        Form1Harness h;
        QVERIFY(h.loadWith({MakeEntry(1, u"http://a.jp/", u"一")}));
        fs::path bad = h.home() / "bad.xls";
        if (condition == NotAWorkbook) {
            WriteBytes(bad, {'<', 'h', 't', 'm', 'l', '>'});
        } else if (condition == MissingFolder) {
            bad = h.home() / "gone" / "bad.xls";
        } else {
            bad = h.defaultDataFile();
            ::chmod(bad.c_str(), 0444);
        }
        const auto before = fs::exists(bad) ? ReadBytes(bad) : std::vector<std::uint8_t>{};
        h.form().Text6->setText(Q(bad));

        h.form().Command1->click();
        QStringList shown = h.takeMessages();
        QVERIFY2(ContainEach(shown, searched), qPrintable(shown.join(" | ")));
        h.setFields("http://b.jp/", "二");
        h.form().Command2->click();
        shown = h.takeMessages();
        QVERIFY2(ContainEach(shown, {"", "データに誤りがあります"}), qPrintable(shown.join(" | ")));
        QCOMPARE(fs::exists(bad) ? ReadBytes(bad) : std::vector<std::uint8_t>{}, before);
        QVERIFY(!fs::exists(h.home() / "gone"));
    }
};

QTEST_MAIN(BadInputTest)
#include "form1_bad_input_test.moc"
