#pragma once

#include "mainwindow/main_window.h"
#include "mainwindow/message_box.h"
#include "store/entry.h"
#include "store/message_style.h"
#include "support/entry_rows.h"
#include "support/temp_dir.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStringList>
#include <QTest>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace tomorine::test {

// The real main window on a program folder of its own; message boxes and the file chooser are
// recorded instead of shown, no browser opens, and the deletion notice does not wait.
class MainWindowHarness {
public:
    MainWindowHarness();
    ~MainWindowHarness();

    const std::filesystem::path& home() const { return home_; }
    std::filesystem::path defaultDataFile() const { return home_ / "トモリネ.xls"; }
    std::filesystem::path appIni() const { return home_ / "トモリネ.ini"; }

    static std::vector<Entry> ReadLiveEntries(const std::filesystem::path& path);
    std::vector<std::int32_t> liveSerials() const;

    bool load();
    bool loadWith(const std::vector<Entry>& entries);
    MainWindow& window() { return *window_; }

    void setFields(const QString& url, const QString& title, const QString& subtitle = {},
                   const QString& keywords = {}, const QString& comment = {});
    QStringList listLines() const;
    QStringList search();
    // The messages shown since the last call.
    QStringList takeMessages();
    std::vector<MessageBoxSeam::Shown> takeShown();

private:
    TempDir dir_;
    std::filesystem::path home_;
    std::unique_ptr<MainWindow> window_;
};

Entry MakeEntry(std::int32_t serial, std::u16string url, std::u16string title,
                std::u16string keywords = {}, std::u16string comment = {});

inline QString Q(const std::filesystem::path& path) {
    return QString::fromStdString(path.string());
}
// Whether there are as many texts as parts and each text contains its part.
bool ContainEach(const QStringList& texts, const QStringList& parts);
// A key of the settings section of `ini`; "<missing>" when it is not there.
std::string Setting(const std::filesystem::path& ini, std::string_view key);

} // namespace tomorine::test
