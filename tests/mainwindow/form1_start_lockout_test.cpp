// A data file that cannot be read, created or saved at start-up is
// reported, and the window opens with the commands off; choosing another
// file brings them back. Nothing is created or changed on the way.
#include "form1_harness.h"
#include "mainwindow/file_chooser.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <algorithm>
#include <sys/stat.h>
#include <unistd.h>

using namespace tomorine;
using namespace tomorine::test;

namespace {

enum Condition { MissingFolder, DirectoryInPlace, BrokenWorkbook, ReadOnlyFolder, Unreadable };

// The data file for `condition`, set up in `folder`.
std::filesystem::path Prepare(const std::filesystem::path& folder, int condition) {
    std::filesystem::create_directories(folder);
    const auto data = folder / "ブック.xls";
    switch (condition) {
    case MissingFolder:
        return folder / "無い" / "ブック.xls";
    case DirectoryInPlace:
        std::filesystem::create_directory(data);
        break;
    case BrokenWorkbook:
        WriteBytes(data, {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1, 0, 0});
        break;
    case ReadOnlyFolder:
        ::chmod(folder.c_str(), 0555);
        break;
    case Unreadable:
        Form1Harness::WriteDataFile(data, {MakeEntry(1, u"http://a.jp/", u"一")});
        ::chmod(data.c_str(), 0200);
        break;
    }
    return data;
}

// Every file and folder below `folder` with its size.
std::vector<std::pair<std::string, std::uintmax_t>> Listing(const std::filesystem::path& folder) {
    std::vector<std::pair<std::string, std::uintmax_t>> listing;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) {
        listing.emplace_back(entry.path().string(),
                             entry.is_regular_file() ? entry.file_size() : 0);
    }
    std::sort(listing.begin(), listing.end());
    return listing;
}

void CheckLockedOutNot(Form1Harness& h, const std::filesystem::path& data,
                       const std::filesystem::path& folder) {
    const auto before = Listing(folder);
    QVERIFY(h.load());
    const auto shown = h.takeShown();
    QVERIFY(!shown.empty());
    QCOMPARE(shown.front().style, 16);
    const QString named = QString::fromStdString(data.string());
    QVERIFY2(shown.front().text.contains(named) ||
                 shown.front().text.contains(QString::fromStdString(data.parent_path().string())),
             qPrintable(shown.front().text));
    Form1& f = h.form();
    QCOMPARE(f.Text6->text(), named);
    for (QPushButton* command :
         {f.Command1, f.Command2, f.Command3, f.Command4, f.Command6, f.Command7, f.Command8,
          f.Command10, f.Command11, f.Command12, f.Command13}) {
        QVERIFY2(!command->isEnabled(), qPrintable(command->objectName()));
    }
    QVERIFY(f.Command9->isEnabled() && f.Command5->isEnabled());
    QCOMPARE(Listing(folder), before);

    // The way out: another data file.
    const auto other = h.home() / "別.xls";
    FileChooserSeam::queueAnswers({QString::fromStdString(other.string())});
    f.Command9->click();
    QVERIFY(f.Command1->isEnabled());
    QVERIFY(std::filesystem::is_regular_file(other));
}

} // namespace

class StartLockoutTest : public QObject {
    Q_OBJECT
private slots:
    void aDataFileThatCannotBeUsedLeavesTheWindowOpen_data() {
        QTest::addColumn<int>("condition");
        QTest::newRow("missing folder") << int(MissingFolder);
        QTest::newRow("directory in place of the file") << int(DirectoryInPlace);
        QTest::newRow("broken workbook") << int(BrokenWorkbook);
    }

    void aDataFileThatCannotBeUsedLeavesTheWindowOpen() {
        QFETCH(int, condition);
        Form1Harness h;
        const auto folder = h.home().parent_path() / "データ";
        const auto data = Prepare(folder, condition);
        h.setDataFileSetting(data.string());
        CheckLockedOutNot(h, data, folder);
    }

    // Needs permission bits to hold: ctest runs it once more as an
    // unprivileged user when the tests run as root.
    void aDataFileWithoutPermissionLeavesTheWindowOpen_data() {
        QTest::addColumn<int>("condition");
        QTest::newRow("read-only folder") << int(ReadOnlyFolder);
        QTest::newRow("unreadable file") << int(Unreadable);
    }

    void aDataFileWithoutPermissionLeavesTheWindowOpen() {
        if (geteuid() == 0) {
            QSKIP("root ignores permission bits");
        }
        QFETCH(int, condition);
        Form1Harness h;
        const auto folder = h.home().parent_path() / "データ";
        const auto data = Prepare(folder, condition);
        h.setDataFileSetting(data.string());
        CheckLockedOutNot(h, data, folder);
        ::chmod(folder.c_str(), 0755); // so that the folder can be removed
        ::chmod(data.c_str(), 0644);
    }
};

QTEST_MAIN(StartLockoutTest)
#include "form1_start_lockout_test.moc"
