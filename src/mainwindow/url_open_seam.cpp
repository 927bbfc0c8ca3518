#include "mainwindow/url_open_seam.h"

#include "mainwindow/message_box.h"
#include "store/message_style.h"

#include <QDesktopServices>

namespace tomorine {

void UrlOpenSeam::openTyped(QWidget* parent, const QString& text) const {
    const QUrl url = QUrl::fromUserInput(text);
    const bool opened = url.isValid() && (open_ ? open_(url) : QDesktopServices::openUrl(url));
    if (!opened) {
        MessageBox(parent, text + QStringLiteral("\r\nを開けません"), MessageStyle::Exclamation);
    }
}

} // namespace tomorine
