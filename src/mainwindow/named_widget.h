#pragma once

#include <QRect>
#include <QString>
#include <QWidget>

namespace tomorine {

// A new child widget under the object name the tests and the tab order
// find it by.
template <typename T>
T* Named(QWidget* parent, const char* name) {
    auto* widget = new T(parent);
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

// The same with its caption (a button's, a label's or a check box's text).
template <typename T>
T* Named(QWidget* parent, const char* name, const QString& text) {
    T* widget = Named<T>(parent, name);
    widget->setText(text);
    return widget;
}

// The same, placed at a fixed spot of a window laid out by hand.
template <typename T>
T* Named(QWidget* parent, const char* name, QRect geometry) {
    T* widget = Named<T>(parent, name);
    widget->setGeometry(geometry);
    return widget;
}

} // namespace tomorine
