#pragma once

#include <QWidget>
#include <filesystem>
#include <functional>

class QCheckBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;

namespace tomorine {

struct SettingsValues;
struct SearchSession;
struct SearchTexts;

// The HTML export dialog: the output path, whether comments are written,
// and the run button that stores both in the settings files and writes the
// page of the last search. Modeless; loaded hidden at start-up and only
// shown and hidden until the program ends.
class HtmlExportDialog : public QWidget {
    Q_OBJECT
public:
    // `settings` keeps the path and the comment choice of the last run;
    // `searchFields` reads the main window's five search fields, which pick
    // the rows of the last search in `dataFile` that are written.
    HtmlExportDialog(SettingsValues& settings, const std::filesystem::path& dataFile,
                     const SearchSession& search, QWidget* mainWindow,
                     std::function<SearchTexts()> searchFields);

    void browse(); // browse
    void run();    // run

    QLabel* pathLabel;
    QLineEdit* pathField;
    QPushButton* browseButton;
    QCheckBox* commentsBox;
    QCheckBox* bookmarkFormatBox; // a bookmark file for browsers instead of the page
    QPushButton* okButton;
    QProgressBar* progressBar; // rows of the last search gone through
    QLabel* statusLabel;       // status: at work, or the last run's count

protected:
    // The close box puts the stored values back and only hides the dialog;
    // the program's own close at shutdown goes through.
    void closeEvent(QCloseEvent* event) override;

private:
    void setControlsEnabled(bool enabled);
    void storeSettings();
    bool writeOutput(const std::function<int()>& write);
    bool writePage();
    bool writeBookmarks();

    SettingsValues& settings_;
    const std::filesystem::path& dataFile_;
    const SearchSession& search_;
    QWidget* mainWindow_;
    std::function<SearchTexts()> searchFields_;
};

} // namespace tomorine
