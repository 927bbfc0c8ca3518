// The main window keeps the workbook it loaded between clicks; tomorine-cli,
// another process, writes the file in between, and the next click shows
// what the file holds.
#include "form1_harness.h"
#include "store/data_workbook.h"
#include "store/entry_statements.h"
#include "store/table/connection.h"

#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>

using namespace tomorine;
using namespace tomorine::test;

namespace {

namespace fs = std::filesystem;

std::string Quoted(const std::string& text) {
    std::string quoted = "'";
    for (char c : text) {
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    return quoted + "'";
}

// tomorine-cli COMMAND --data FILE ARGS, output thrown away; its exit status.
int RunCli(const fs::path& data, const std::vector<std::string>& args) {
    std::string command = Quoted(TOMORINE_CLI) + " " + args[0] + " --data " + Quoted(data.string());
    for (size_t i = 1; i < args.size(); ++i) {
        command += " " + Quoted(args[i]);
    }
    const int status = std::system((command + " >/dev/null 2>&1").c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

timespec ModifiedOf(const fs::path& file) {
    struct stat st {};
    ::stat(file.c_str(), &st);
    return st.st_mtim;
}

void SetModified(const fs::path& file, const timespec& when) {
    const timespec times[2] = {when, when};
    ::utimensat(AT_FDCWD, file.c_str(), times, 0);
}

// A window that has listed its three entries once.
void LoadAndSearch(Form1Harness& h) {
    Form1Harness::WriteDataFile(h.defaultDataFile(), {MakeEntry(1, u"http://a.jp/", u"一一"),
                                                      MakeEntry(2, u"http://b.jp/", u"二二"),
                                                      MakeEntry(3, u"http://c.jp/", u"三三")});
    QVERIFY(h.load());
    h.form().Command1->click();
    QCOMPARE(h.listLines(), (QStringList{"[00001]:一一", "[00002]:二二", "[00003]:三三"}));
}

} // namespace

class CacheTest : public QObject {
    Q_OBJECT
private slots:
    void theNextClickShowsWhatAnotherProcessWrote_data() {
        QTest::addColumn<QStringList>("command");
        QTest::addColumn<QStringList>("listed");
        QTest::addColumn<bool>("sameSizeAndTime");
        QTest::newRow("add") << QStringList{"add", "--url", "http://d.jp/", "--title", "四四"}
                             << QStringList{"[00001]:一一", "[00002]:二二", "[00003]:三三",
                                            "[00004]:四四"}
                             << false;
        QTest::newRow("update, same size and time")
            << QStringList{"update", "2", "--title", "弐弐"}
            << QStringList{"[00001]:一一", "[00002]:弐弐", "[00003]:三三"} << true;
        QTest::newRow("delete") << QStringList{"delete", "1"}
                                << QStringList{"[00002]:二二", "[00003]:三三"} << false;
    }
    void theNextClickShowsWhatAnotherProcessWrote() {
        QFETCH(QStringList, command);
        QFETCH(QStringList, listed);
        QFETCH(bool, sameSizeAndTime);
        Form1Harness h;
        LoadAndSearch(h);
        const fs::path file = h.defaultDataFile();
        const auto size = fs::file_size(file);
        const timespec modified = ModifiedOf(file);
        std::vector<std::string> args;
        for (const QString& arg : command) {
            args.push_back(arg.toStdString());
        }
        QCOMPARE(RunCli(file, args), 0);
        if (sameSizeAndTime) {
            QCOMPARE(fs::file_size(file), size);
            SetModified(file, modified);
        }
        h.form().Command1->click();
        QCOMPARE(h.listLines(), listed);
    }

    void aFileReplacedByAnotherWorkbookIsReadAgain() {
        Form1Harness h;
        LoadAndSearch(h);
        const fs::path file = h.defaultDataFile();
        const fs::path other = h.home() / "other.xls";
        Form1Harness::WriteDataFile(other, {MakeEntry(1, u"http://a.jp/", u"壱壱"),
                                            MakeEntry(2, u"http://b.jp/", u"弐弐"),
                                            MakeEntry(3, u"http://c.jp/", u"参参")});
        QCOMPARE(fs::file_size(other), fs::file_size(file));
        const timespec modified = ModifiedOf(file);
        fs::rename(other, file);
        SetModified(file, modified);
        h.form().Command1->click();
        QCOMPARE(h.listLines(), (QStringList{"[00001]:壱壱", "[00002]:弐弐", "[00003]:参参"}));
    }

    // The window registers on the file as the other process left it: the
    // serial follows the other process's entry, which is kept.
    void aRegistrationAfterACliWriteKeepsThatWrite() {
        Form1Harness h;
        LoadAndSearch(h);
        const fs::path file = h.defaultDataFile();
        QCOMPARE(RunCli(file, {"add", "--url", "http://d.jp/", "--title", "四四"}), 0);
        h.form().Command4->click();
        h.setFields("http://e.jp/", "五五");
        h.form().Command2->click();
        std::vector<std::int32_t> serials;
        for (const Entry& e : Form1Harness::ReadLiveEntries(file)) {
            serials.push_back(e.serial);
        }
        QCOMPARE(serials, (std::vector<std::int32_t>{1, 2, 3, 4, 5}));
        QCOMPARE(h.form().Text2->text(), QString("五五"));
    }
};

QTEST_MAIN(CacheTest)
#include "form1_cache_test.moc"
