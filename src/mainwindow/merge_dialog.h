#pragma once

#include <QWidget>
#include <string>

class QLabel;
class QLineEdit;
class QPushButton;

namespace tomorine {

class MainWindow;
struct StoreState;
struct UpgradeState;

// The merge dialog: the path of the reference workbook, a browse button and
// OK, which checks the reference, stores its path in the settings files and
// merges it into the data file the main window's data file field names. A close by
// the user only hides it (and puts back the path last stored).
class MergeDialog : public QWidget {
    Q_OBJECT
public:
    // `referFile` is the reference path last stored, which OK stores anew.
    MergeDialog(std::string& referFile, StoreState& store, UpgradeState& upgrade,
                MainWindow& owner);

    void browse(); // browse
    void run();    // run

    // After a failed merge the dialog unloads itself; the next データマージ
    // makes a new one.
    bool isUnloaded() const { return unloaded_; }

    QLabel* pathLabel;
    QLineEdit* pathField;
    QPushButton* browseButton;
    QPushButton* okButton;
    QLabel* statusLabel;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void setWorking(bool working);
    void runMerge();
    void unload();

    std::string& referFile_;
    StoreState& store_;
    UpgradeState& upgrade_;
    MainWindow& owner_;
    bool unloaded_ = false;
};

} // namespace tomorine
