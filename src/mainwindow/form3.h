#pragma once

#include <QWidget>
#include <string>

class QLabel;
class QLineEdit;
class QPushButton;

namespace tomorine {

class Form1;
struct ModuleState;

// The merge dialog: the path of the reference workbook, a browse button and
// OK, which checks the reference, stores its path in the settings files and
// merges it into the data file the main window's Text6 names. A close by
// the user only hides it (and puts back the path last stored).
class Form3 : public QWidget {
    Q_OBJECT
public:
    Form3(ModuleState& state, Form1& owner);

    void Command1_Click(); // browse
    void Command2_Click(); // run

    // After a failed merge the dialog unloads itself; the next データマージ
    // makes a new one.
    bool isUnloaded() const { return unloaded_; }

    QLabel* Label1;
    QLineEdit* Text1;
    QPushButton* Command1;
    QPushButton* Command2;
    QLabel* Label2;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void setWorking(bool working);
    void runMerge();
    void unload();

    ModuleState& state_;
    Form1& owner_;
    bool unloaded_ = false;
};

} // namespace tomorine
