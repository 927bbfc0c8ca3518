#include "main_window_harness.h"

#include "mainwindow/file_chooser.h"
#include "store/live_entries.h"
#include "store/settings/app_dir.h"
#include "store/settings/ini_functions.h"
#include "store/settings/settings_file.h"

#include <QUrl>
#include <algorithm>
#include <cstdlib>

namespace tomorine::test {

MainWindowHarness::MainWindowHarness() : home_(dir_.path() / "home") {
    std::filesystem::create_directory(home_);
    setenv("TOMORINE_HOME", home_.c_str(), 1);
    ResetAppDirCache();
    MessageBoxSeam::startRecording();
    FileChooserSeam::startRecording();
    MainWindow::setOpenUrl([](const QUrl&) { return true; });
    MainWindow::setDeletionNoticeMilliseconds(0);
}

MainWindowHarness::~MainWindowHarness() {
    if (window_) {
        window_->close();
        window_.reset();
    }
    MessageBoxSeam::stopRecording();
    FileChooserSeam::stopRecording();
    unsetenv("TOMORINE_HOME");
    ResetAppDirCache();
}

std::vector<Entry> MainWindowHarness::ReadLiveEntries(const std::filesystem::path& path) {
    Recordset rs = LiveEntries(path);
    std::vector<Entry> entries;
    for (; !rs.eof(); rs.moveNext()) {
        entries.push_back(ReadEntry(rs));
    }
    return entries;
}

std::vector<std::int32_t> MainWindowHarness::liveSerials() const {
    std::vector<std::int32_t> serials;
    for (const Entry& e : ReadLiveEntries(defaultDataFile())) {
        serials.push_back(e.serial);
    }
    return serials;
}

bool MainWindowHarness::load() {
    window_ = std::make_unique<MainWindow>();
    return window_->load();
}

bool MainWindowHarness::loadWith(const std::vector<Entry>& entries) {
    WriteEntries(defaultDataFile(), entries);
    return load();
}

void MainWindowHarness::setFields(const QString& url, const QString& title, const QString& subtitle,
                                  const QString& keywords, const QString& comment) {
    window_->urlField->setText(url);
    window_->titleField->setText(title);
    window_->subtitleField->setText(subtitle);
    window_->keywordsField->setText(keywords);
    window_->commentField->setPlainText(comment);
}

QStringList MainWindowHarness::listLines() const {
    QStringList lines;
    for (int i = 0; i < window_->resultList->count(); ++i) {
        lines << window_->resultList->item(i)->text();
    }
    return lines;
}

QStringList MainWindowHarness::search() {
    window_->searchButton->click();
    return listLines();
}

QStringList MainWindowHarness::takeMessages() {
    QStringList texts;
    for (const MessageBoxSeam::Shown& shown : takeShown()) {
        texts << shown.text;
    }
    return texts;
}

std::vector<MessageBoxSeam::Shown> MainWindowHarness::takeShown() {
    std::vector<MessageBoxSeam::Shown> shown = MessageBoxSeam::shown();
    MessageBoxSeam::clearShown();
    return shown;
}

Entry MakeEntry(std::int32_t serial, std::u16string url, std::u16string title,
                std::u16string keywords, std::u16string comment) {
    return Entry{serial, std::move(url),      std::move(title),
                 {},     std::move(keywords), std::move(comment)};
}

bool ContainEach(const QStringList& texts, const QStringList& parts) {
    return texts.size() == parts.size() &&
           std::equal(texts.begin(), texts.end(), parts.begin(),
                      [](const QString& text, const QString& part) { return text.contains(part); });
}

std::string Setting(const std::filesystem::path& ini, std::string_view key) {
    return ReadIniString(ini, kSettingsSection, key, "<missing>", kIniBufferSize);
}

} // namespace tomorine::test
