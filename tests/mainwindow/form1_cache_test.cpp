// The main window keeps the workbook it loaded between clicks; tomorine-cli,
// another process, writes the file in between, and the next click shows
// what the file holds.
#include "form1_harness.h"

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
int RunCli(const fs::path& data, const QStringList& args) {
    std::string command =
        Quoted(TOMORINE_CLI) + " " + args[0].toStdString() + " --data " + Quoted(data.string());
    for (qsizetype i = 1; i < args.size(); ++i) {
        command += " " + Quoted(args[i].toStdString());
    }
    const int status = std::system((command + " >/dev/null 2>&1").c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::vector<Entry> Three(std::u16string_view titles) {
    std::vector<Entry> entries;
    for (int i = 0; i < 3; ++i) {
        const std::u16string title(titles.substr(2 * i, 2));
        entries.push_back(
            MakeEntry(i + 1, u"http://" + std::u16string(1, u'a' + i) + u".jp/", title));
    }
    return entries;
}

} // namespace

class CacheTest : public QObject {
    Q_OBJECT
private slots:
    void theNextClickShowsWhatAnotherProcessWrote_data() {
        QTest::addColumn<QStringList>("command"); // none: replaced by another workbook
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
        QTest::newRow("replaced, same size and time")
            << QStringList{} << QStringList{"[00001]:壱壱", "[00002]:弐弐", "[00003]:参参"} << true;
    }
    void theNextClickShowsWhatAnotherProcessWrote() {
        QFETCH(QStringList, command);
        QFETCH(QStringList, listed);
        QFETCH(bool, sameSizeAndTime);
        Form1Harness h;
        QVERIFY(h.loadWith(Three(u"一一二二三三")));
        QCOMPARE(h.search().size(), 3);
        const fs::path file = h.defaultDataFile();
        const auto size = fs::file_size(file);
        struct stat before {};
        ::stat(file.c_str(), &before);
        if (command.isEmpty()) {
            Form1Harness::WriteDataFile(h.home() / "other.xls", Three(u"壱壱弐弐参参"));
            fs::rename(h.home() / "other.xls", file);
        } else {
            QCOMPARE(RunCli(file, command), 0);
        }
        if (sameSizeAndTime) {
            QCOMPARE(fs::file_size(file), size);
            const timespec times[2] = {before.st_mtim, before.st_mtim};
            ::utimensat(AT_FDCWD, file.c_str(), times, 0);
        }
        QCOMPARE(h.search(), listed);
    }

    // The window registers on the file as the other process left it: the
    // serial follows the other process's entry, which is kept.
    void aRegistrationAfterACliWriteKeepsThatWrite() {
        Form1Harness h;
        QVERIFY(h.loadWith(Three(u"一一二二三三")));
        h.search();
        QCOMPARE(RunCli(h.defaultDataFile(), {"add", "--url", "http://d.jp/", "--title", "四"}), 0);
        h.form().Command4->click();
        h.setFields("http://e.jp/", "五五");
        h.form().Command2->click();
        QCOMPARE(h.liveSerials(), (std::vector<std::int32_t>{1, 2, 3, 4, 5}));
        QCOMPARE(h.form().Text2->text(), QString("五五"));
    }
};

QTEST_MAIN(CacheTest)
#include "form1_cache_test.moc"
