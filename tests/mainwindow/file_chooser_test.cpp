// The data file chooser itself (not its test seam): a file that exists, or
// a new name in a folder that exists once the user agrees; never a name in
// a missing folder. The chooser writes nothing.
#include "form1_harness.h"
#include "mainwindow/file_chooser.h"

#include <QApplication>
#include <QFileDialog>
#include <QTimer>
#include <sys/stat.h>
#include <unistd.h>

using namespace tomorine;
using namespace tomorine::test;

namespace {

// What happened when the user typed a name into the open chooser and
// pressed 開く (Open).
struct Outcome {
    bool stayedOpen = false;
    std::optional<QString> chosen;
    std::vector<MessageBoxSeam::Shown> shown;
};

// Types `typed` once the chooser is open and accepts it; a chooser that
// stays open is then cancelled. `run` opens the chooser.
template <typename Run>
Outcome TypeIntoChooser(const QString& typed, std::deque<int> answers, Run run) {
    Outcome outcome;
    MessageBoxSeam::clearShown();
    MessageBoxSeam::queueAnswers(std::move(answers));
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (dialog == nullptr) {
            qFatal("no chooser open");
        }
        // Typing goes to the name field with the focus, which drops the
        // file selected in the list when the chooser opened.
        QApplication::setActiveWindow(dialog);
        auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        name->setFocus();
        name->setText(typed);
        static_cast<QDialog*>(dialog)->accept(); // as the Open button does
        outcome.stayedOpen = dialog->isVisible();
        if (outcome.stayedOpen) {
            dialog->reject();
        }
    });
    outcome.chosen = run();
    outcome.shown = MessageBoxSeam::shown();
    return outcome;
}

} // namespace

class FileChooserTest : public QObject {
    Q_OBJECT
private slots:
    void init() { MessageBoxSeam::startRecording(); }
    void cleanup() { MessageBoxSeam::stopRecording(); }

    void choices_data() {
        QTest::addColumn<QString>("typed"); // relative to the folder made below
        QTest::addColumn<int>("answer");    // to a question, if one is asked
        QTest::addColumn<bool>("taken");
        QTest::addColumn<int>("style"); // of the one message shown, -1 for none
        QTest::addColumn<QString>("named");
        QTest::newRow("an existing file")
            << QString("ある.xls") << AnswerOk << true << -1 << QString("");
        QTest::newRow("a new name, creation agreed")
            << QString("新しい.xls") << AnswerOk << true << 33 << QString("新しい.xls");
        QTest::newRow("a new name in a missing folder")
            << QString("無い/新しい.xls") << AnswerOk << false << 48 << QString("無い");
        QTest::newRow("a new name in a read-only folder")
            << QString("読み取り専用/新しい.xls") << AnswerOk << false << 48
            << QString("読み取り専用");
    }

    void choices() {
        QFETCH(QString, typed);
        QFETCH(int, answer);
        QFETCH(bool, taken);
        QFETCH(int, style);
        QFETCH(QString, named);
        if (typed.startsWith("読み取り専用") && geteuid() == 0) {
            QSKIP("root ignores permission bits; ctest runs this once more unprivileged");
        }
        TempDir dir;
        const auto folder = dir.path() / "データ";
        std::filesystem::create_directories(folder / "下");
        std::filesystem::create_directories(folder / "読み取り専用");
        ::chmod((folder / "読み取り専用").c_str(), 0555);
        Form1Harness::WriteDataFile(folder / "ある.xls", {});
        const auto before = ReadBytes(folder / "ある.xls");

        const QString full = Q(folder) + "/" + typed;
        const Outcome outcome = TypeIntoChooser(
            full, {answer}, [&] { return ChooseDataFile(nullptr, Q(folder), QString()); });

        QCOMPARE(outcome.stayedOpen, !taken);
        QCOMPARE(outcome.chosen.has_value(), taken);
        if (taken) {
            QCOMPARE(*outcome.chosen, full);
        }
        QCOMPARE(outcome.shown.size(), style < 0 ? 0u : 1u);
        if (style >= 0) {
            QCOMPARE(outcome.shown[0].style, style);
            QVERIFY2(outcome.shown[0].text.contains(Q(folder) + "/" + named),
                     qPrintable(outcome.shown[0].text));
        }
        // Only what the test made is there: the chooser creates nothing.
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) {
            names.push_back(entry.path().lexically_relative(folder).string());
        }
        std::sort(names.begin(), names.end());
        QCOMPARE(names, (std::vector<std::string>{"ある.xls", "下", "読み取り専用"}));
        QCOMPARE(ReadBytes(folder / "ある.xls"), before);
    }
};

QTEST_MAIN(FileChooserTest)
#include "file_chooser_test.moc"
