#pragma once

#include "mainwindow/form1.h"
#include "mainwindow/message_box.h"
#include "mainwindow/module_state.h"
#include "store/entry.h"
#include "support/temp_dir.h"

#include <QStringList>
#include <filesystem>
#include <memory>
#include <vector>

namespace tomorine::test {

// The real main window on a program folder of its own: TOMORINE_HOME points
// into a temporary folder, message boxes, the file chooser and the browser
// are recorded instead of shown, and the deletion notice does not wait.
class Form1Harness {
public:
    Form1Harness();
    ~Form1Harness();

    const std::filesystem::path& home() const { return home_; }
    std::filesystem::path defaultDataFile() const { return home_ / "トモリネ.xls"; }
    std::filesystem::path appIni() const { return home_ / "トモリネ.ini"; }

    // A data workbook holding `entries` (serials as given) at `path`.
    static void WriteDataFile(const std::filesystem::path& path, const std::vector<Entry>& entries);
    static std::vector<Entry> ReadLiveEntries(const std::filesystem::path& path);
    void setDataFileSetting(const std::string& value);

    // Builds the window and runs its start-up.
    bool load();
    Form1& form() { return *form_; }
    ModuleState& state() { return state_; }

    void setFields(const QString& url, const QString& title, const QString& subtitle = {},
                   const QString& keywords = {}, const QString& comment = {});
    QStringList listLines() const;
    // The texts of the messages shown since the last call.
    QStringList takeMessages();
    std::vector<MessageBoxSeam::Shown> takeShown();
    const std::vector<QString>& openedUrls() const;

private:
    TempDir dir_;
    std::filesystem::path home_;
    ModuleState state_;
    std::unique_ptr<Form1> form_;
};

Entry MakeEntry(std::int32_t serial, std::u16string url, std::u16string title,
                std::u16string keywords = {}, std::u16string comment = {});

} // namespace tomorine::test
