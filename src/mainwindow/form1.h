#pragma once

#include "search/search_session.h"

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

class Form2;
class Form5;
class Form3;
class Form4;
class Form6;
class Form7;
class Desktop;
struct CaptureEnvironment;
struct CapturedPage;
struct ModuleState;
struct SearchTexts;
struct UpgradeContext;

// The main window. Controls keep their given names as members and object
// names; each command is a form procedure that reads the controls, calls
// the engines and shows what happened. The procedures live in form1_*.cpp
// files by concern.
class Form1 : public QWidget {
    Q_OBJECT
public:
    explicit Form1(ModuleState& state, QWidget* parent = nullptr);

    SearchSession& search() { return search_; }
    ~Form1() override;

    // Start-up. A step that failed has been shown and the window opens with
    // the commands off; true, so that the window always opens.
    bool Form_Load();

    // Commands.
    void Command1_Click();  // 検索
    void Command2_Click();  // 登録 / 更新
    void Command3_Click();  // 表示
    void Command4_Click();  // クリア
    void Command5_Click();  // OK
    void Command6_Click();  // 削除
    void Command7_Click();  // HTML作成
    void Command8_Click();  // IE取得
    void Command9_Click();  // data file choice
    void Command10_Click(); // データマージ
    void Command11_Click(); // キーワード一覧
    void Command12_Click(); // リンクチェック
    void Command13_Click(); // お気に入りインポート
    void Command14_Click(); // ブラウザ取込
    void List1_Click();
    void List1_DblClick();

    // Shared routines.
    void ClearEntryForm();
    void ResetListCaption();
    void SetCommandsEnabled(bool enabled);
    void SaveListPosition();
    void RestoreListPosition();
    void RestoreListTop();
    void KensakuByClick();
    void FindEntryByUrl();
    void ListSearchResults();
    void HandleDrop(const QMimeData* data); // a drop on the window or a control

    // Test seams: how a URL is opened (the desktop's browser by default), and
    // how long the deletion notice stays (1,000 ms by default).
    static void SetOpenUrl(std::function<bool(const QUrl&)> open);
    static void SetDeletionNoticeMilliseconds(int milliseconds);

    // The foreground watch (Timer1, every 100 ms) and the capture of the
    // browser's page. The link check pauses the watch while it runs.
    void Timer1_Timer();
    void StartForegroundWatch();
    void PauseForegroundWatch();
    void ResumeForegroundWatch();
    CapturedPage CaptureFromBrowser();
    // Test seams: the desktop the watch reads (X11 when Qt runs on xcb), and
    // where the capture looks (the user's home and clipboard).
    static void SetDesktop(std::function<std::unique_ptr<Desktop>()> open);
    static void SetCaptureEnvironment(std::function<CaptureEnvironment()> environment);
    QTimer* Timer1 = nullptr;

    QPushButton* Command1;
    QPushButton* Command2;
    QPushButton* Command3;
    QPushButton* Command4;
    QPushButton* Command5;
    QPushButton* Command6;
    QPushButton* Command7;
    QPushButton* Command8;
    QPushButton* Command9;
    QPushButton* Command10;
    QPushButton* Command11;
    QPushButton* Command12;
    QPushButton* Command13;
    QPushButton* Command14;
    QLineEdit* Text1;
    QLineEdit* Text2;
    QLineEdit* Text3;
    QLineEdit* Text4;
    QPlainTextEdit* Text5;
    QLineEdit* Text6;
    QLabel* Label1;
    QLabel* Label2;
    QLabel* Label3;
    QLabel* Label4;
    QLabel* Label5;
    QLabel* Label6;
    QLabel* Label7;
    QLabel* Label8;
    QListWidget* List1;
    Form2* form2;
    Form5* form5;
    Form4* form4;
    Form6* form6;
    Form7* form7;
    QPointer<Form3> form3; // null or unloaded after a failed merge

protected:
    void closeEvent(QCloseEvent* event) override; // shutdown

private:
    void buildControls();
    void layoutControls();
    void connectControls();
    void installDropTargets();
    void Form_QueryUnload();
    SearchTexts fieldTexts() const;
    std::u16string commentText() const;
    UpgradeContext upgradeContext();
    // Whether the data file may be used; why not has been shown.
    bool checkDataVersion();
    void selectListIndex(int index);
    void listMatchingRows();
    bool refuseEmptyUrl();
    bool loadSelectedEntry(long position); // false: nothing loaded
    void refreshDataFilePath();
    void showError(const std::exception& error, const QString& then);
    // Conflict copies of the data file (form1_conflicts.cpp).
    void watchDataFolder();
    void lookForConflictCopies();
    void offerConflictMerge(const std::vector<std::filesystem::path>& found);
    void mergeConflictCopies(const std::vector<std::filesystem::path>& copies);

    ModuleState& state_;
    SearchSession search_;
    std::vector<QPushButton*> commands_; // the eleven that a rejected file disables
    bool loadedByPress_ = false;
    std::shared_ptr<Desktop> desktop_; // none where the desktop cannot tell

    QFileSystemWatcher* conflictWatch_ = nullptr; // the data file's folder
    QTimer* conflictDelay_ = nullptr;
    std::set<std::string> noticedCopies_; // each copy is offered once while the window runs
    bool conflictNoticeOpen_ = false;
};

} // namespace tomorine
