#include "mainwindow/tab_order.h"

#include "mainwindow/main_window.h"

#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>

namespace tomorine {

void SetTabChain(std::initializer_list<QWidget*> widgets) {
    const QWidget* previous = nullptr;
    for (QWidget* widget : widgets) {
        if (previous != nullptr) {
            QWidget::setTabOrder(const_cast<QWidget*>(previous), widget);
        }
        previous = widget;
    }
}

void SetMainWindowTabOrder(MainWindow& f) {
    SetTabChain({f.urlField, f.titleField, f.subtitleField, f.keywordsField, f.commentField,
                 // the editor's column of buttons, top to bottom
                 f.searchButton, f.registerButton, f.clearButton, f.openUrlButton, f.deleteButton,
                 // the tool row, left to right
                 f.captureButton, f.htmlExportButton, f.mergeButton, f.keywordListButton,
                 f.linkCheckButton, f.favoritesImportButton, f.browserImportButton, f.resultList,
                 f.dataFileField, f.dataFileButton, f.okButton});
}

} // namespace tomorine
