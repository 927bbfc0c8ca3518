#pragma once

#include <QWidget>
#include <functional>

class QCheckBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;

namespace tomorine {

struct ModuleState;
struct SearchSession;
struct SearchTexts;

// The HTML export dialog: the output path, whether comments are written,
// and the run button that stores both in the settings files and writes the
// page of the last search. Modeless; loaded hidden at start-up and only
// shown and hidden until the program ends.
class Form2 : public QWidget {
    Q_OBJECT
public:
    // `searchFields` reads the main window's five search fields, which pick
    // the rows of the last search that are written.
    Form2(ModuleState& state, const SearchSession& search, QWidget* mainWindow,
          std::function<SearchTexts()> searchFields);

    void Command1_Click(); // browse
    void Command2_Click(); // run

    QLabel* Label1;
    QLineEdit* Text1;
    QPushButton* Command1;
    QCheckBox* Check1;
    QCheckBox* Check2; // a bookmark file for browsers instead of the page
    QPushButton* Command2;
    QProgressBar* ProgressBar1; // rows of the last search gone through
    QLabel* Label2;             // status: at work, or the last run's count

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

    ModuleState& state_;
    const SearchSession& search_;
    QWidget* mainWindow_;
    std::function<SearchTexts()> searchFields_;
};

} // namespace tomorine
