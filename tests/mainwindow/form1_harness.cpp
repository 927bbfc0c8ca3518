#include "form1_harness.h"

#include "mainwindow/file_chooser.h"
#include "store/entry_statements.h"
#include "store/settings/app_dir.h"
#include "store/settings/ini_functions.h"
#include "store/settings/settings_file.h"
#include "store/table/connection.h"

#include <QUrl>
#include <algorithm>
#include <cstdlib>

namespace tomorine::test {

Form1Harness::Form1Harness() : home_(dir_.path() / "home") {
    std::filesystem::create_directory(home_);
    setenv("TOMORINE_HOME", home_.c_str(), 1);
    ResetAppDirCache();
    MessageBoxSeam::startRecording();
    FileChooserSeam::startRecording();
    Form1::SetOpenUrl([](const QUrl&) { return true; });
    Form1::SetDeletionNoticeMilliseconds(0);
}

Form1Harness::~Form1Harness() {
    if (form_) {
        form_->close();
        form_.reset();
    }
    MessageBoxSeam::stopRecording();
    FileChooserSeam::stopRecording();
    unsetenv("TOMORINE_HOME");
    ResetAppDirCache();
}

std::vector<Entry> Form1Harness::ReadLiveEntries(const std::filesystem::path& path) {
    Connection connection(path);
    Recordset rs = connection.execute(u"select * from [トモリネ$] where 削除 = 0");
    std::vector<Entry> entries;
    for (; !rs.eof(); rs.moveNext()) {
        entries.push_back(ReadEntry(rs));
    }
    return entries;
}

std::vector<std::int32_t> Form1Harness::liveSerials() const {
    std::vector<std::int32_t> serials;
    for (const Entry& e : ReadLiveEntries(defaultDataFile())) {
        serials.push_back(e.serial);
    }
    return serials;
}

void Form1Harness::setDataFileSetting(const std::string& value) {
    WriteIniString(appIni(), kSettingsSection, kDataFileKey, value);
}

bool Form1Harness::load() {
    form_ = std::make_unique<Form1>(state_);
    return form_->Form_Load();
}

bool Form1Harness::loadWith(const std::vector<Entry>& entries) {
    WriteEntries(defaultDataFile(), entries);
    return load();
}

void Form1Harness::setFields(const QString& url, const QString& title, const QString& subtitle,
                             const QString& keywords, const QString& comment) {
    form_->Text1->setText(url);
    form_->Text2->setText(title);
    form_->Text3->setText(subtitle);
    form_->Text4->setText(keywords);
    form_->Text5->setPlainText(comment);
}

QStringList Form1Harness::listLines() const {
    QStringList lines;
    for (int i = 0; i < form_->List1->count(); ++i) {
        lines << form_->List1->item(i)->text();
    }
    return lines;
}

QStringList Form1Harness::search() {
    form_->Command1->click();
    return listLines();
}

QStringList Form1Harness::takeMessages() {
    QStringList texts;
    for (const MessageBoxSeam::Shown& shown : takeShown()) {
        texts << shown.text;
    }
    return texts;
}

std::vector<MessageBoxSeam::Shown> Form1Harness::takeShown() {
    std::vector<MessageBoxSeam::Shown> shown = MessageBoxSeam::shown();
    MessageBoxSeam::clearShown();
    return shown;
}

Entry MakeEntry(std::int32_t serial, std::u16string url, std::u16string title,
                std::u16string keywords, std::u16string comment) {
    return Entry{serial, std::move(url),      std::move(title),
                 {},     std::move(keywords), std::move(comment)};
}

std::vector<Entry> Numbered(int count) {
    std::vector<Entry> entries;
    for (int i = 1; i <= count; ++i) {
        const std::u16string n = QString::number(i).toStdU16String();
        entries.push_back(MakeEntry(i, u"http://example.jp/" + n, u"ページ" + n));
    }
    return entries;
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
