// The data file chooser itself (not its test seam): a file that exists, or
// a new name in a folder that exists once the user agrees; never a name in
// a missing folder. The chooser writes nothing.
#include "main_window_harness.h"
#include "mainwindow/file_chooser.h"

#include <QApplication>
#include <QFileDialog>
#include <QTimer>
#include <sys/stat.h>
#include <unistd.h>

using namespace tomorine;
using namespace tomorine::test;

class FileChooserTest : public QObject {
    Q_OBJECT
private slots:
    void init() { MessageBoxSeam::startRecording(); }
    void cleanup() { MessageBoxSeam::stopRecording(); }

    void choices_data() {
        QTest::addColumn<QString>("typed"); // in the folder made below
        QTest::addColumn<bool>("taken");
        QTest::addColumn<int>("style"); // of the one message shown, -1 for none
        QTest::addColumn<QString>("named");
        QTest::newRow("an existing file") << QString("ある.xls") << true << -1 << QString();
        QTest::newRow("a new name, creation agreed")
            << QString("新しい.xls") << true << 33 << QString("新しい.xls");
        QTest::newRow("a new name in a missing folder")
            << QString("無い/新しい.xls") << false << 48 << QString("無い");
        QTest::newRow("a new name in a read-only folder")
            << QString("読み取り専用/新しい.xls") << false << 48 << QString("読み取り専用");
    }

    void choices() {
        QFETCH(QString, typed);
        QFETCH(bool, taken);
        QFETCH(int, style);
        QFETCH(QString, named);
        if (typed.startsWith("読み取り専用") && geteuid() == 0) {
            QSKIP("root ignores permission bits; ctest runs this once more unprivileged");
        }
        TempDir dir;
        const auto folder = dir.path() / "データ";
        std::filesystem::create_directories(folder / "読み取り専用");
        ::chmod((folder / "読み取り専用").c_str(), 0555);
        WriteEntries(folder / "ある.xls", {});
        MessageBoxSeam::clearShown();
        MessageBoxSeam::queueAnswers({AnswerOk});

        const QString full = Q(folder) + "/" + typed;
        // Typed into the open chooser and accepted as 開く (Open) does; a
        // chooser that stays open is then cancelled.
        QTimer::singleShot(0, [&] {
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            if (dialog == nullptr) {
                qFatal("no chooser open");
            }
            // The name field with the focus drops the file selected in the list.
            QApplication::setActiveWindow(dialog);
            auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
            name->setFocus();
            name->setText(full);
            static_cast<QDialog*>(dialog)->accept();
            if (dialog->isVisible()) {
                dialog->reject();
            }
        });
        QCOMPARE(ChooseDataFile(nullptr, Q(folder), QString()).value_or(""),
                 taken ? full : QString(""));
        const auto shown = MessageBoxSeam::shown();
        QCOMPARE(shown.size(), style < 0 ? 0u : 1u);
        if (style >= 0) {
            QCOMPARE(shown[0].style, style);
            QVERIFY2(shown[0].text.contains(Q(folder) + "/" + named), qPrintable(shown[0].text));
        }
        QVERIFY(!std::filesystem::exists(folder / "無い")); // the chooser creates nothing
    }
};

QTEST_MAIN(FileChooserTest)
#include "file_chooser_test.moc"
