#pragma once

#include "browser/shortcut_target.h"
#include "favorites/favorites_import.h"

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

struct StoreState;

// The Favorites import window. It runs the import by itself when it is
// shown, listing each shortcut file, the favorite read from it and the
// progress, and ends with four counts and up to three notices. Only its OK
// button closes it: while the import runs the button asks it to stop.
class FavoritesImportDialog : public QDialog {
    Q_OBJECT
public:
    // Runs before the import writes (the main window lets go of its rows).
    std::function<void()> beforeImport;

    // Imports into the data file of `store`.
    explicit FavoritesImportDialog(StoreState& store, QWidget* parent = nullptr);

    // How long the import waits, with the window drawn, before it starts
    // (1,000 ms by default). For tests.
    static void setStartWaitMilliseconds(int milliseconds);

    // Shows the window modally, without a close button, until OK closes it.
    int exec() override;

    void importFavorites();
    void setImportResultsVisible(bool visible);
    void okOrStop();
    void fileSelected();
    QString statusText() const;
    const ShortcutCounters& shortcutCounters() const { return counters_; }

    QPushButton* okButton;
    QStatusBar* statusBar;
    QListWidget* fileList;
    QLabel* favoriteUrlLabel;     // the favorite's URL
    QLabel* favoriteNameLabel;    // its name
    QLabel* foundCountLabel;      // found
    QLabel* registeredCountLabel; // registered
    QLabel* existingCountLabel;   // already registered
    QLabel* failedCountLabel;     // failed
    QLabel* unreadableNotice;     // notices
    QLabel* namesTooLongNotice;
    QLabel* noTargetsNotice;
    QLabel* urlCaption;
    QLabel* titleCaption;
    QLabel* foundHeading;
    QLabel* registeredHeading;
    QLabel* existingHeading;
    QLabel* failedHeading;
    QLabel* progressTrack; // the progress track
    QLabel* progressBar;   // the bar
    QLabel* percentLabel;  // the percentage
    QLabel* filesCaption;
    QLabel* progressCaption;
    QLabel* statusCaption;
    QFrame* fileListRule;
    QFrame* progressRule;
    QFrame* favoriteRule;
    QFrame* summaryRule;

public slots:
    void reject() override; // Esc does what OK does

protected:
    void showEvent(QShowEvent* event) override;

private:
    void buildControls();
    void load();
    void activate();
    void setStatus(std::string_view text);
    void setPercent(int percent);
    void addFileLine(const std::filesystem::path& path);
    void showFavorite(const std::u16string& url, const std::u16string& name);
    std::filesystem::path favoritesFolder();
    void showSummary(const ImportOutcome& outcome);
    ImportUi importUi();

    StoreState& store_;
    FavoritesState favorites_;
    ShortcutCounters counters_;
    bool activated_ = false;
};

} // namespace tomorine
