// データマージ and the merge dialog through the real main window.
#include "form1_harness.h"
#include "mainwindow/file_chooser.h"
#include "mainwindow/form3.h"
#include "mainwindow/window_menu.h"
#include "merge/merge_messages.h"
#include "store/settings/ini_functions.h"
#include "store/settings/settings_file.h"
#include "store/xls/xls_file.h"
#include "upgrade_fixture.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <limits>

using namespace tomorine;
using namespace tomorine::test;

namespace {

namespace fs = std::filesystem;

QString Q(std::u16string_view text) {
    return QString::fromStdU16String(std::u16string(text));
}

QString P(const fs::path& path) {
    return QString::fromStdString(path.string());
}

std::string ReferSetting(const fs::path& ini) {
    return ReadIniString(ini, kSettingsSection, kReferFileKey, "<missing>", kIniBufferSize);
}

// Records the text Label2 shows whenever it is painted.
class PaintedTexts : public QObject {
public:
    QStringList texts;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            texts << static_cast<QLabel*>(watched)->text();
        }
        return false;
    }
};

// The main window on the default data file holding one entry, and the
// reference `ref/other.xls` holding it and one more.
struct MergeScene {
    Form1Harness h;
    fs::path reference;

    MergeScene() : reference(h.home() / "ref" / "other.xls") {
        fs::create_directories(reference.parent_path());
        Form1Harness::WriteDataFile(h.defaultDataFile(), {MakeEntry(3, u"http://a.jp/", u"元")});
        Form1Harness::WriteDataFile(reference, {MakeEntry(1, u"http://a.jp/", u"元"),
                                                MakeEntry(2, u"http://b.jp/", u"新")});
        WriteIniString(h.appIni(), kSettingsSection, kReferFileKey, "/start/ref.xls");
    }

    Form3& open(const fs::path& path) {
        h.form().Command10->click();
        Form3* form3 = h.form().form3;
        form3->Text1->setText(P(path));
        return *form3;
    }
};

} // namespace

class Form3Test : public QObject {
    Q_OBJECT
private slots:
    void startUpFillsThePathAndShutdownStoresTheDialogsPath() {
        MergeScene s;
        QVERIFY(s.h.load());
        Form3* form3 = s.h.form().form3;
        QCOMPARE(form3->Text1->text(), QString("/start/ref.xls"));
        QVERIFY(form3->isHidden());
        QCOMPARE(form3->minimumSize(), form3->maximumSize()); // no size item
        form3->Text1->setText("/typed/ref.xls");
        s.h.form().close();
        QCOMPARE(ReferSetting(s.h.appIni()), std::string("/typed/ref.xls"));
    }

    void mergeAddsTheNewEntriesWithTheNoticePaintedFirst() {
        MergeScene s;
        QVERIFY(s.h.load());
        s.h.form().Command1->click(); // a search: its list goes away
        QCOMPARE(s.h.form().List1->count(), 1);
        s.h.form().Command2->setText("更新");
        Form3& form3 = s.open(s.reference);
        QVERIFY(form3.isVisible());
        QCOMPARE(s.h.form().List1->count(), 0);
        QCOMPARE(s.h.form().Command2->text(), QString("登録"));
        PaintedTexts painted;
        form3.Label2->installEventFilter(&painted);

        form3.Command2->click();

        QVERIFY(painted.texts.contains(Q(MergeMessages::Merging)));
        QCOMPARE(s.h.takeMessages(), QStringList{Q(MergeMessages::Done)});
        auto entries = Form1Harness::ReadLiveEntries(s.h.defaultDataFile());
        QCOMPARE(entries.size(), 2u);
        QCOMPARE(entries[1].serial, 4);
        QVERIFY(entries[1].title == u"新");
        QCOMPARE(ReferSetting(s.h.appIni()), s.reference.string());
        QVERIFY(form3.isHidden());
        QVERIFY(form3.Command2->isEnabled() && form3.Text1->isEnabled());
        QVERIFY(form3.Label2->text().isEmpty());
        QVERIFY(!IsCloseRemoved(&form3));
        QCOMPARE(s.h.form().List1->count(), 0); // not refreshed

        form3.Command2->click(); // again: nothing new, still done
        QCOMPARE(s.h.takeMessages(), QStringList{Q(MergeMessages::Done)});
    }

    void refusesTheDataFileAndItsName_data() {
        QTest::addColumn<QString>("reference");
        QTest::addColumn<QString>("message");
        QTest::newRow("same path") << "" << Q(MergeMessages::SamePath);
        QTest::newRow("same name") << "/elsewhere/トモリネ.xls" << Q(MergeMessages::SameFileName);
    }

    void refusesTheDataFileAndItsName() {
        QFETCH(QString, reference);
        QFETCH(QString, message);
        MergeScene s;
        QVERIFY(s.h.load());
        const auto before = BytesOrNothing(s.h.defaultDataFile());
        Form3& form3 = s.open(fs::path(reference.isEmpty() ? s.h.form().Text6->text().toStdString()
                                                           : reference.toStdString()));
        form3.Command2->click();
        QCOMPARE(s.h.takeMessages(), QStringList{message});
        QCOMPARE(form3.Text1->text(), QString("/start/ref.xls"));
        QVERIFY(form3.isHidden());
        QCOMPARE(ReferSetting(s.h.appIni()), std::string("/start/ref.xls"));
        QVERIFY(BytesOrNothing(s.h.defaultDataFile()) == before);
    }

    void refusesAnEmptyAnOldAndAnUnreadableReference() {
        MergeScene s;
        QVERIFY(s.h.load());
        WriteXlsFile(OldDataWorkbook(OldRows(2)), s.reference);
        Form3& form3 = s.open("");
        form3.Command2->click();
        QCOMPARE(s.h.takeMessages(), QStringList{Q(MergeMessages::NoPath)});
        form3.Text1->setText(P(s.reference));
        form3.Command2->click();
        QCOMPARE(s.h.takeMessages(), QStringList{Q(MergeMessages::OldVersion)});
        form3.Text1->setText(P(s.h.home() / "ない.xls"));
        form3.Command2->click();
        auto shown = s.h.takeShown();
        QCOMPARE(shown.size(), 2u);
        QVERIFY(shown[0].text.contains("ない.xls"));
        QCOMPARE(shown[1].text, Q(MergeMessages::OldVersion));
        QVERIFY(form3.isVisible());
        QCOMPARE(form3.Text1->text(), P(s.h.home() / "ない.xls"));
    }

    void aFailedMergeIsShownAndTheDialogRestored() {
        MergeScene s;
        Form1Harness::WriteDataFile(
            s.h.defaultDataFile(),
            {MakeEntry(std::numeric_limits<std::int32_t>::max(), u"http://a.jp/", u"元")});
        QVERIFY(s.h.load());
        const auto before = BytesOrNothing(s.h.defaultDataFile());
        Form3& form3 = s.open(s.reference);
        form3.Command2->click();
        auto shown = s.h.takeShown();
        QCOMPARE(shown.size(), 2u);
        QVERIFY(shown[0].text.contains("シリアル番号"));
        QCOMPARE(shown[0].style, 16);
        QCOMPARE(shown[1].text, Q(MergeMessages::Failed));
        QVERIFY(BytesOrNothing(s.h.defaultDataFile()) == before);
        QVERIFY(form3.isVisible() && !form3.isUnloaded());
        QVERIFY(form3.Command1->isEnabled() && form3.Text1->isEnabled());
        QVERIFY(form3.Label2->text().isEmpty());
        QVERIFY(!IsCloseRemoved(&form3));
    }

    void anUnreadableDataFileUnloadsTheDialog() {
        MergeScene s;
        QVERIFY(s.h.load());
        WriteBytes(s.h.defaultDataFile(), {'x'});
        Form3* form3 = &s.open(s.reference);
        form3->Command2->click();
        auto shown = s.h.takeShown();
        QCOMPARE(shown.size(), 2u);
        QCOMPARE(shown[0].style, 16);
        QCOMPARE(shown[1].text, Q(MergeMessages::Failed));
        QCOMPARE(shown[1].style, 16);
        QVERIFY(form3->isUnloaded());
        s.h.form().Command10->click();
        QVERIFY(s.h.form().form3 != form3);
        QVERIFY(s.h.form().form3->Text1->text().isEmpty());
    }

    void browseOpensAtThePathAndTakesTheChosenFile() {
        MergeScene s;
        QVERIFY(s.h.load());
        Form3& form3 = s.open(s.reference);
        FileChooserSeam::queueAnswers({QString()}); // cancel
        form3.Command1->click();
        QCOMPARE(FileChooserSeam::asked().back().folder, P(s.reference.parent_path()) + "/");
        QCOMPARE(FileChooserSeam::asked().back().fileName, QString("other.xls"));
        QCOMPARE(form3.Text1->text(), P(s.reference));
        form3.Text1->clear();
        FileChooserSeam::queueAnswers({P(s.h.home() / "b.xls")});
        form3.Command1->click();
        QCOMPARE(FileChooserSeam::asked().back().folder, P(s.h.home()) + "/");
        QCOMPARE(form3.Text1->text(), P(s.h.home() / "b.xls"));
        QCOMPARE(form3.Text1->cursorPosition(), static_cast<int>(form3.Text1->text().size()));
    }

    void theCloseBoxPutsBackTheStartUpPath() {
        MergeScene s;
        QVERIFY(s.h.load());
        Form3& form3 = s.open("/typed/ref.xls");
        QVERIFY(!form3.close());
        QVERIFY(form3.isHidden());
        QCOMPARE(form3.Text1->text(), QString("/start/ref.xls"));
    }
};

QTEST_MAIN(Form3Test)
#include "form3_test.moc"
