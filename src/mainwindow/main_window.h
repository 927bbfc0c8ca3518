#pragma once

#include "browser/foreign_window.h"
#include "browser/shortcut_target.h"
#include "search/search_session.h"
#include "store/data_connection.h"
#include "store/settings/settings_file.h"
#include "upgrade/upgrade_context.h"

#include <QPointer>
#include <QWidget>
#include <filesystem>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

class QLabel;
class QLineEdit;
class QListWidget;
class QMimeData;
class QPlainTextEdit;
class QFileSystemWatcher;
class QPushButton;
class QTimer;
class QUrl;

namespace tomorine {

class HtmlExportDialog;
class FavoritesImportDialog;
class MergeDialog;
class LinkCheckDialog;
class DeletionNotice;
class ConversionProgress;
class Desktop;
struct CaptureEnvironment;
struct CapturedPage;
struct SearchTexts;

// The main window. Each command is a procedure that reads the controls, calls
// the engines and shows what happened. The procedures live in main_window_*.cpp
// files by concern.
class MainWindow : public QWidget {
    Q_OBJECT
public:
    explicit MainWindow(QWidget* parent = nullptr);

    SearchSession& search() { return search_; }
    // What the window keeps besides its controls.
    const SettingsValues& settings() const { return settings_; }
    const UpgradeState& upgradeState() const { return upgrade_; }
    const ShortcutCounters& dropCounters() const { return dropCounters_; }
    const ForeignWindow& lastForeignWindow() const { return lastForeignWindow_; }
    ~MainWindow() override;

    // Start-up. A step that failed has been shown and the window opens with
    // the commands off; true, so that the window always opens.
    bool load();

    // Commands.
    void runSearch();           // 検索
    void registerOrUpdate();    // 登録 / 更新
    void openEntryUrl();        // 表示
    void clearEditor();         // クリア
    void saveAndClose();        // OK
    void deleteEntry();         // 削除
    void openHtmlExport();      // HTML作成
    void captureBrowserPage();  // IE取得
    void chooseDataFile();      // data file choice
    void openMerge();           // データマージ
    void listKeywords();        // キーワード一覧
    void openLinkCheck();       // リンクチェック
    void openFavoritesImport(); // お気に入りインポート
    void openBrowserImport();   // ブラウザ取込
    void resultSelected();

    // Shared routines.
    void clearEntryForm();
    void resetListCaption();
    void setCommandsEnabled(bool enabled);
    void saveListPosition();
    void restoreListPosition();
    void restoreListTop();
    void searchByClick(bool silent); // silent: finding nothing says nothing
    void findEntryByUrl();
    void listSearchResults();
    void handleDrop(const QMimeData* data); // a drop on the window or a control

    // Test seams: how a URL is opened (the desktop's browser by default), and
    // how long the deletion notice stays (1,000 ms by default).
    static void setOpenUrl(std::function<bool(const QUrl&)> open);
    static void setDeletionNoticeMilliseconds(int milliseconds);

    // The foreground watch (foregroundTimer, every 100 ms) and the capture of the
    // browser's page. The link check pauses the watch while it runs.
    void watchForeground();
    void startForegroundWatch();
    void pauseForegroundWatch();
    void resumeForegroundWatch();
    CapturedPage captureFromBrowser();
    // Test seams: the desktop the watch reads (X11 when Qt runs on xcb), and
    // where the capture looks (the user's home and clipboard).
    static void setDesktop(std::function<std::unique_ptr<Desktop>()> open);
    static void setCaptureEnvironment(std::function<CaptureEnvironment()> environment);
    QTimer* foregroundTimer = nullptr;

    QPushButton* searchButton;
    QPushButton* registerButton;
    QPushButton* openUrlButton;
    QPushButton* clearButton;
    QPushButton* okButton;
    QPushButton* deleteButton;
    QPushButton* htmlExportButton;
    QPushButton* captureButton;
    QPushButton* dataFileButton;
    QPushButton* mergeButton;
    QPushButton* keywordListButton;
    QPushButton* linkCheckButton;
    QPushButton* favoritesImportButton;
    QPushButton* browserImportButton;
    QLineEdit* urlField;
    QLineEdit* titleField;
    QLineEdit* subtitleField;
    QLineEdit* keywordsField;
    QPlainTextEdit* commentField;
    QLineEdit* dataFileField;
    QLabel* listCaptionLabel;
    QLabel* urlLabel;
    QLabel* titleLabel;
    QLabel* subtitleLabel;
    QLabel* keywordsLabel;
    QLabel* commentLabel;
    QLabel* dataFileLabel;
    QLabel* hitCountLabel;
    QListWidget* resultList;
    HtmlExportDialog* htmlExportDialog;
    FavoritesImportDialog* favoritesImportDialog;
    LinkCheckDialog* linkCheckDialog;
    DeletionNotice* deletionNotice;
    ConversionProgress* conversionProgress;
    QPointer<MergeDialog> mergeDialog; // null or unloaded after a failed merge

protected:
    void closeEvent(QCloseEvent* event) override; // shutdown

private:
    void buildControls();
    void layoutControls();
    void connectControls();
    void installDropTargets();
    void shutDown();
    SearchTexts fieldTexts() const;
    std::u16string commentText() const;
    UpgradeContext upgradeContext();
    // Whether the data file may be used; why not has been shown.
    bool checkDataVersion();
    void showListCaption(const QString& text, bool bold);
    void selectListIndex(int index);
    void listMatchingRows();
    bool refuseEmptyUrl();
    bool loadSelectedEntry(long position); // false: nothing loaded
    void refreshDataFilePath();
    void leaveEntry();
    void showError(const std::exception& error, const QString& then);
    // Conflict copies of the data file (main_window_conflicts.cpp).
    void watchDataFolder();
    void lookForConflictCopies();
    void offerConflictMerge(const std::vector<std::filesystem::path>& found);
    void mergeConflictCopies(const std::vector<std::filesystem::path>& copies);

    // The settings as last confirmed (read at start-up, or stored by a run of
    // their dialog or an accepted file choice); shutdown writes these.
    SettingsValues settings_;
    StoreState store_;
    UpgradeState upgrade_;
    SearchSession search_;
    ShortcutCounters dropCounters_;
    ForeignWindow lastForeignWindow_; // the last other window in the foreground
    int savedListTop_ = 0;            // the list's scroll position across a refresh
    int savedListIndex_ = 0;
    bool keywordListMode_ = false;       // the list shows keywords, not entries
    std::vector<QPushButton*> commands_; // the eleven that a rejected file disables
    bool loadedByPress_ = false;
    std::shared_ptr<Desktop> desktop_; // none where the desktop cannot tell

    QFileSystemWatcher* conflictWatch_ = nullptr; // the data file's folder
    QTimer* conflictDelay_ = nullptr;
    std::set<std::string> noticedCopies_; // each copy is offered once while the window runs
    bool conflictNoticeOpen_ = false;
};

} // namespace tomorine
