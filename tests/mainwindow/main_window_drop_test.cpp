// Texts, links and shortcut files dropped on the main window and its fields.
#include "browser/capture.h"
#include "favorites_tree.h"
#include "local_http_server.h"
#include "main_window_harness.h"

#include <QDropEvent>
#include <QMimeData>
#include <QUrl>

using namespace tomorine;
using namespace tomorine::test;

namespace {

// Drags `data` over `target` and drops it there, as the window system does.
bool Drop(QWidget* target, QMimeData* data) {
    const QPointF at(target->width() / 2.0, target->height() / 2.0);
    QDragEnterEvent enter(at.toPoint(), Qt::CopyAction | Qt::LinkAction, data, Qt::LeftButton,
                          Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    if (!enter.isAccepted()) {
        return false;
    }
    QDropEvent drop(at, Qt::CopyAction | Qt::LinkAction, data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &drop);
    return drop.isAccepted();
}

// A browser offers a dragged link as a URL and as text; a file manager
// offers files as file URLs and their paths as text.
std::unique_ptr<QMimeData> Dragged(const QString& text, const QList<QUrl>& urls = {}) {
    auto data = std::make_unique<QMimeData>();
    if (!urls.isEmpty()) {
        data->setUrls(urls);
    }
    data->setText(text);
    return data;
}

std::unique_ptr<QMimeData> Files(const std::vector<std::filesystem::path>& paths) {
    QList<QUrl> urls;
    QStringList texts;
    for (const auto& path : paths) {
        urls << QUrl::fromLocalFile(Q(path));
        texts << Q(path);
    }
    return Dragged(texts.join('\n'), urls);
}

QWidget* Target(MainWindow& form, const QString& name) {
    if (name == "MainWindow") {
        return &form;
    }
    QWidget* widget = form.findChild<QWidget*>(name);
    auto* scrolled = qobject_cast<QAbstractScrollArea*>(widget);
    return scrolled != nullptr ? scrolled->viewport() : widget;
}

} // namespace

class DropTest : public QObject {
    Q_OBJECT
private slots:
    void dropsFillTheEditorWhereverTheyLand_data() {
        QTest::addColumn<QString>("target");
        QTest::addColumn<QString>("kind"); // text, link, file, files, empty
        QTest::addColumn<QString>("url");
        QTest::addColumn<QString>("title");
        const QString url = "http://oreilly.example/it's", none;
        QTest::newRow("text") << "MainWindow"
                              << "text" << QString("ただのテキスト") << none;
        QTest::newRow("link") << "MainWindow"
                              << "link" << QString("http://example.jp/?q=1") << none;
        for (const char* where :
             {"MainWindow", "urlField", "titleField", "titleLabel", "dataFileLabel",
              "keywordsField", "commentField", "dataFileField", "resultList"}) {
            QTest::addRow("shortcut on %s", where) << where << "file" << url << "O'Reilly";
        }
        QTest::addRow("two shortcuts") << "MainWindow"
                                       << "files" << QString("http://example.jp/ab") << "a.b";
        QTest::addRow("no target") << "subtitleField"
                                   << "empty" << none << "empty";
    }
    void dropsFillTheEditorWhereverTheyLand() {
        QFETCH(QString, target);
        QFETCH(QString, kind);
        QFETCH(QString, url);
        QFETCH(QString, title);
        MainWindowHarness h;
        FavoritesTree tree(h.home() / "Favorites");
        QVERIFY(h.load());
        h.setFields("http://old.jp/", "古い", "副", "語", "注");
        h.window().registerButton->setText("更新");
        const auto data = kind == "text"   ? Dragged(url)
                          : kind == "link" ? Dragged(url, {QUrl(url)})
                          : kind == "file" ? Files({tree.root() / "O'Reilly.url"})
                          : kind == "files"
                              ? Files({tree.root() / "a.b.url", tree.root() / "A.URL"})
                              : Files({tree.root() / "empty.url"});
        QVERIFY(Drop(Target(h.window(), target), data.get()));
        QCOMPARE(h.window().urlField->text(), url);
        QCOMPARE(h.window().titleField->text(), title);
        QVERIFY(h.window().subtitleField->text().isEmpty() &&
                h.window().keywordsField->text().isEmpty());
        QVERIFY(h.window().commentField->toPlainText().isEmpty());
        QCOMPARE(h.window().registerButton->text(), QString("登録"));
        QCOMPARE(h.window().dropCounters().shortcutErrorCount, kind == "empty" ? 1 : 0);
        QCOMPARE(h.window().dropCounters().shortcutNoTargetCount, kind == "empty" ? 1 : 0);
        QCOMPARE(h.takeMessages(), QStringList()); // nothing stored: a silent search
    }

    // The URL is looked up alone: the stored title differs from the file's,
    // and from the captured page's.
    void aStoredUrlSelectsItsEntry() {
        MainWindowHarness h;
        FavoritesTree tree(h.home() / "Favorites");
        LocalHttpServer server;
        server.serve("/p",
                     {"text/html", "<title>新しい題</title><meta name=keywords content=new>"});
        const QString page = QString::fromStdString(server.url("/p"));
        QVERIFY(h.loadWith({MakeEntry(3, u"http://example.jp/a", u"登録済み", u"語"),
                            MakeEntry(4, page.toStdU16String(), u"古い題", u"古")}));
        MainWindow::setCaptureEnvironment([&] {
            CaptureEnvironment env;
            env.home = env.configHome = h.home();
            env.clipboardText = [&] { return page.toStdString(); };
            return env;
        });
        h.window().captureButton->click();
        MainWindow::setCaptureEnvironment({});
        QCOMPARE(h.listLines(), QStringList{"[00004]:古い題"});
        QCOMPARE(h.window().keywordsField->text(), QString("古"));
        QCOMPARE(h.window().registerButton->text(), QString("更新"));
        QVERIFY(Drop(h.window().titleField, Files({tree.root() / "A.URL"}).get()));
        QCOMPARE(h.listLines(), QStringList{"[00003]:登録済み"});
        QCOMPARE(h.window().urlField->text(), QString("http://example.jp/a"));
        QCOMPARE(h.window().titleField->text(), QString("登録済み"));
        QCOMPARE(h.window().keywordsField->text(), QString("語"));
        QCOMPARE(h.window().registerButton->text(), QString("更新"));
        // A shortcut without a target after that search: still the file's name.
        QVERIFY(Drop(h.window().titleField, Files({tree.root() / "empty.url"}).get()));
        QCOMPARE(h.window().titleField->text(), QString("empty"));
    }

    void somethingElseIsNotTaken() {
        MainWindowHarness h;
        QVERIFY(h.load());
        QMimeData image;
        image.setData("image/png", QByteArray("\x89PNG", 4));
        QVERIFY(!Drop(h.window().urlField, &image));
        QVERIFY(h.window().urlField->text().isEmpty());
    }
};

QTEST_MAIN(DropTest)
#include "main_window_drop_test.moc"
