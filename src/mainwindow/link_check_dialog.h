#pragma once

#include "linkcheck/link_check_options.h"
#include "linkcheck/link_targets.h"
#include "linkcheck/link_verdict.h"

#include <QDialog>
#include <QElapsedTimer>
#include <filesystem>
#include <functional>

class QLabel;
class QLineEdit;
class QProgressBar;
class QTreeWidget;
class QPushButton;
class QStatusBar;
class QUrl;

namespace tomorine {

class MainWindow;

// The broken-link check window (modal over the main window): it requests
// every live entry's URL when it opens and lists the dead ones, each with
// its class and reason in a column of its own; the user shows, selects and
// deletes them. Each line keeps its entry's row position (item data), serial
// and checked URL, so that it names its entry after the list has been
// refreshed; a deletion compares the entry with what the check read.
class LinkCheckDialog : public QDialog {
    Q_OBJECT
public:
    // Checks the entries of `dataFile`, the main window's data file.
    LinkCheckDialog(const std::filesystem::path& dataFile, MainWindow& mainWindow,
                    QWidget* parent = nullptr);

    void load();     // empties lineCountLabel
    void activate(); // runs the check, once per opening
    void runLinkCheck();
    void setLinkCommandsEnabled(bool enabled);

    void lineSelected();
    void lineDoubleClicked();
    void selectAllLines();   // 全選択
    void deselectAllLines(); // 全解除
    void openSelectedUrl();  // 表示
    void deleteSelected();   // 削除実行
    void finish();           // OK

    // Test seams: the wait before the check starts (1,000 ms), and how a URL
    // is opened (the desktop's browser).
    static void setStartDelayMilliseconds(int milliseconds);
    static void setOpenUrl(std::function<bool(const QUrl&)> open);

    // Item data roles of a dead-link line (column 0) besides the row position.
    static constexpr int kSerialRole = Qt::UserRole + 1;
    static constexpr int kUrlRole = Qt::UserRole + 2;
    static constexpr int kClassRole = Qt::UserRole + 3; // a LinkClass

    bool isRunning() const { return running_; } // OK clears it
    // Pauses (false) and resumes (true) the main window's foreground watch
    // while the check runs; unset while there is no watch.
    std::function<void(bool enabled)> setForegroundWatchEnabled;

    LinkCheckOptions checkOptions; // how the requests are made
    bool deadLinkSelecting = false;

    QLabel* listCaptionLabel;
    QLabel* lineCountLabel;
    QTreeWidget* deadLinkList; // the line, then its class and reason
    QLineEdit* urlField;
    QPushButton* selectAllButton;
    QPushButton* deselectAllButton;
    QPushButton* openUrlButton;
    QPushButton* deleteButton;
    QPushButton* okButton;
    QStatusBar* statusBar;
    QLabel* progressLabel;     // "decided / total", beside the status text
    QProgressBar* progressBar; // the same as a bar

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

    const std::filesystem::path& dataFile_;
    MainWindow& mainWindow_;
    bool running_ = false;
    std::vector<LinkTarget> checked_; // the live entries as the last check read them
    bool networkDown_ = false;        // no answer came: nothing may be deleted
    QElapsedTimer noticeShown_;       // the close box's notice, kept a while
};

} // namespace tomorine
