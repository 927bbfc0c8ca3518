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

} // namespace

class CacheTest : public QObject {
    Q_OBJECT
private slots:
    // Even at the same size and time, the next click shows the other
    // process's update; a registration keeps its entry and follows its serial.
    void aWriteOfAnotherProcessIsSeenAndKept() {
        Form1Harness h;
        QVERIFY(h.loadWith(
            {MakeEntry(1, u"http://a.jp/", u"一一"), MakeEntry(2, u"http://b.jp/", u"二二")}));
        QCOMPARE(h.search().size(), 2);
        const fs::path file = h.defaultDataFile();
        const auto size = fs::file_size(file);
        struct stat before {};
        ::stat(file.c_str(), &before);
        QCOMPARE(RunCli(file, {"update", "2", "--title", "弐弐"}), 0);
        QCOMPARE(fs::file_size(file), size);
        const timespec times[2] = {before.st_mtim, before.st_mtim};
        ::utimensat(AT_FDCWD, file.c_str(), times, 0);
        QCOMPARE(h.search(), (QStringList{"[00001]:一一", "[00002]:弐弐"}));

        QCOMPARE(RunCli(file, {"add", "--url", "http://d.jp/", "--title", "三"}), 0);
        h.form().Command4->click();
        h.setFields("http://e.jp/", "四四");
        h.form().Command2->click();
        QCOMPARE(h.liveSerials(), (std::vector<std::int32_t>{1, 2, 3, 4}));
        QCOMPARE(h.form().Text2->text(), QString("四四"));
    }
};

QTEST_MAIN(CacheTest)
#include "form1_cache_test.moc"
