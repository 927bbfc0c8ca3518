#pragma once

#include <QString>
#include <QUrl>
#include <functional>

class QWidget;

namespace tomorine {

// How a window opens a URL the user typed: in the desktop's browser unless a
// test puts its own opener in.
class UrlOpenSeam {
public:
    void set(std::function<bool(const QUrl&)> open) { open_ = std::move(open); }

    // Opens `text` as the user typed it; a text that is no URL, or one the
    // opener refuses, gets the "cannot open" message over `parent`.
    void openTyped(QWidget* parent, const QString& text) const;

private:
    std::function<bool(const QUrl&)> open_;
};

} // namespace tomorine
