#pragma once

#include "linkcheck/link_check_options.h"
#include "linkcheck/link_targets.h"
#include "linkcheck/link_verdict.h"

#include <QDialog>
#include <QElapsedTimer>
#include <functional>

class QLabel;
class QLineEdit;
class QProgressBar;
class QTreeWidget;
class QPushButton;
class QStatusBar;
class QUrl;

namespace tomorine {

class Form1;
struct ModuleState;

// The broken-link check window (modal over the main window): it requests
// every live entry's URL when it opens and lists the dead ones, each with
// its class and reason in a column of its own; the user shows, selects and
// deletes them. Each line keeps its entry's row position (item data), serial
// and checked URL, so that it names its entry after the list has been
// refreshed; a deletion compares the entry with what the check read.
class Form4 : public QDialog {
    Q_OBJECT
public:
    Form4(ModuleState& state, Form1& form1, QWidget* parent = nullptr);

    void Form_Load();     // empties Label2
    void Form_Activate(); // runs the check, once per opening
    void RunLinkCheck();
    void SetLinkCommandsEnabled(bool enabled);

    void List1_Click();
    void List1_DblClick();
    void Command1_Click(); // 全選択
    void Command2_Click(); // 全解除
    void Command3_Click(); // 表示
    void Command4_Click(); // 削除実行
    void Command5_Click(); // OK

    // Test seams: the wait before the check starts (1,000 ms), and how a URL
    // is opened (the desktop's browser).
    static void SetStartDelayMilliseconds(int milliseconds);
    static void SetOpenUrl(std::function<bool(const QUrl&)> open);

    // Item data roles of a dead-link line (column 0) besides the row position.
    static constexpr int SerialRole = Qt::UserRole + 1;
    static constexpr int UrlRole = Qt::UserRole + 2;
    static constexpr int ClassRole = Qt::UserRole + 3; // a LinkClass

    LinkCheckOptions checkOptions; // how the requests are made
    bool DeadLinkSelecting = false;

    QLabel* Label1;
    QLabel* Label2;
    QTreeWidget* List1; // the line, then its class and reason
    QLineEdit* Text1;
    QPushButton* Command1;
    QPushButton* Command2;
    QPushButton* Command3;
    QPushButton* Command4;
    QPushButton* Command5;
    QStatusBar* StatusBar1;
    QLabel* Label3;             // "decided / total", beside the status text
    QProgressBar* ProgressBar1; // the same as a bar

public slots:
    void reject() override; // Esc does what OK does

protected:
    void showEvent(QShowEvent* event) override;
    // The close box does not stop a running check; the status line says what does.
    bool event(QEvent* event) override;

private:
    void buildControls();
    bool openResults(std::vector<LinkTarget>& targets);
    void checkTargets(const std::vector<LinkTarget>& targets);
    void addDeadLine(const LinkTarget& target, const LinkVerdict& verdict);
    bool confirmDeletion(const std::vector<int>& selected);
    void showLineCount();
    void showProgress(std::size_t decided, std::size_t total);
    void setForegroundWatch(bool enabled);
    void refreshMainList();

    ModuleState& state_;
    Form1& form1_;
    std::vector<LinkTarget> checked_; // the live entries as the last check read them
    bool networkDown_ = false;        // no answer came: nothing may be deleted
    QElapsedTimer noticeShown_;       // the close box's notice, kept a while
};

} // namespace tomorine
