#pragma once

#include <QDialog>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

class QFrame;
class QLabel;
class QListWidget;
class QPushButton;
class QStatusBar;

namespace tomorine {

struct ImportOutcome;
struct ImportUi;
struct ModuleState;

// The Favorites import window. It runs the import by itself when it is
// shown, listing each shortcut file, the favorite read from it and the
// progress, and ends with four counts and up to three notices. Only its OK
// button closes it: while the import runs the button asks it to stop.
class Form5 : public QDialog {
    Q_OBJECT
public:
    // Runs before the import writes (the main window lets go of its rows).
    std::function<void()> beforeImport;

    explicit Form5(ModuleState& state, QWidget* parent = nullptr);

    // How long the import waits, with the window drawn, before it starts
    // (1,000 ms by default). For tests.
    static void SetStartWaitMilliseconds(int milliseconds);

    // Shows the window modally, without a close button, until OK closes it.
    int exec() override;

    void ImportFavorites();
    void HideImportResults();
    void ShowImportResults();
    bool ReadFavoriteFile(const std::filesystem::path& path);
    void Command2_Click();
    void List1_Click();
    QString statusText() const;

    QPushButton* Command2;
    QStatusBar* StatusBar1;
    QListWidget* List1;
    QLabel* Label1; // the favorite's URL
    QLabel* Label2; // its name
    QLabel* Label3; // found
    QLabel* Label4; // registered
    QLabel* Label5; // already registered
    QLabel* Label6; // failed
    QLabel* Label7; // notices
    QLabel* Label8;
    QLabel* Label9;
    QLabel* Label11;
    QLabel* Label12;
    QLabel* Label13;
    QLabel* Label14;
    QLabel* Label15;
    QLabel* Label16;
    QLabel* Label20; // the progress track
    QLabel* Label21; // the bar
    QLabel* Label22; // the percentage
    QLabel* Label30;
    QLabel* Label31;
    QLabel* Label32;
    QFrame* Line1;
    QFrame* Line2;
    QFrame* Line3;
    QFrame* Line4;

public slots:
    void reject() override; // Esc does what OK does

protected:
    void showEvent(QShowEvent* event) override;

private:
    void buildControls();
    void Form_Load();
    void Form_Activate();
    void setStatus(std::string_view text);
    void setPercent(int percent);
    void addFileLine(const std::filesystem::path& path);
    void showFavorite(const std::u16string& url, const std::u16string& name);
    std::filesystem::path favoritesFolder();
    void showSummary(const ImportOutcome& outcome);
    ImportUi importUi();

    ModuleState& state_;
    bool activated_ = false;
};

} // namespace tomorine
