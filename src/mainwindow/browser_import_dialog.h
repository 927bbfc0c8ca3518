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

    void startImport(); // 取込

    QListWidget* sourceList; // the sources
    QPushButton* importButton;
    QPushButton* closeButton;
    QLabel* progressLabel; // progress
    QLabel* countsLabel;   // counts

public slots:
    void reject() override; // 中止 while the import runs, else 閉じる

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
