#pragma once

#include <QDialog>
#include <filesystem>
#include <functional>
#include <vector>

class QLabel;
class QListWidget;
class QPushButton;

namespace tomorine {

struct StoreState;

// ブラウザ取込: the Firefox and Chromium-family profiles found under the
// home folder and "HTMLファイル…", one of which is imported into the data
// file with progress, counts and a stop.
class BrowserImportDialog : public QDialog {
    Q_OBJECT
public:
    // Runs before the import writes (the main window lets go of its rows).
    std::function<void()> beforeImport;

    BrowserImportDialog(StoreState& store, const std::filesystem::path& home,
                        QWidget* parent = nullptr);

    void Command1_Click(); // 取込
    void Command2_Click(); // 中止 while running, else 閉じる

    QListWidget* List1; // the sources
    QPushButton* Command1;
    QPushButton* Command2;
    QLabel* Label1; // progress
    QLabel* Label2; // counts

public slots:
    void reject() override; // no closing while the import runs

private:
    struct Source {
        enum Kind { Firefox, Chromium, Html } kind;
        std::filesystem::path path;
    };
    void listSources(const std::filesystem::path& home);
    void runImport(const Source& source);

    StoreState& store_;
    std::filesystem::path home_;
    std::vector<Source> sources_;
    bool running_ = false;
    bool stop_ = false;
};

} // namespace tomorine
