// Links, texts and shortcut files dropped on the main window.
#include "browser/dropped_data.h"
#include "mainwindow/main_window.h"
#include "mainwindow/qt_text.h"

#include <QDropEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>

namespace tomorine {

namespace {

const QString kUriList = QStringLiteral("text/uri-list");

bool Offers(const QMimeData* data) {
    return data != nullptr && (data->hasText() || data->hasFormat(kUriList));
}

// Takes every drag and drop on the controls it watches and hands the drop to
// the window, so that a text field does not insert the text itself.
class DropFilter : public QObject {
public:
    DropFilter(MainWindow* form) : QObject(form), window_(form) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        switch (event->type()) {
        case QEvent::DragEnter:
        case QEvent::DragMove: {
            auto* drag = static_cast<QDragMoveEvent*>(event);
            if (Offers(drag->mimeData())) {
                drag->setDropAction(Qt::CopyAction);
                drag->accept();
            } else {
                drag->ignore();
            }
            return true;
        }
        case QEvent::Drop: {
            auto* drop = static_cast<QDropEvent*>(event);
            drop->setDropAction(Qt::CopyAction);
            drop->accept();
            window_->handleDrop(drop->mimeData());
            return true;
        }
        default:
            return QObject::eventFilter(watched, event);
        }
    }

private:
    MainWindow* window_;
};

} // namespace

void MainWindow::installDropTargets() {
    auto* filter = new DropFilter(this);
    for (QWidget* target : std::initializer_list<QWidget*>{
             this, listCaptionLabel, urlLabel, titleLabel, subtitleLabel, keywordsLabel,
             commentLabel, dataFileLabel, urlField, titleField, subtitleField, keywordsField,
             dataFileField, commentField->viewport(), resultList->viewport()}) {
        target->setAcceptDrops(true);
        target->installEventFilter(filter);
    }
    // The editors accept drops on their own account; the filter takes them first.
    commentField->setAcceptDrops(true);
    resultList->setAcceptDrops(true);
    resultList->setDragDropMode(QAbstractItemView::DropOnly);
}

void MainWindow::handleDrop(const QMimeData* data) {
    clearEntryForm();
    // The list is empty now; an earlier search's count must not hide the title.
    search_.hitCount = 0;
    registerButton->setText(QStringLiteral("登録"));
    if (data == nullptr) {
        return;
    }
    DroppedData dropped;
    if (data->hasText()) {
        dropped.text = ToU16(data->text());
    }
    if (data->hasFormat(kUriList)) {
        dropped.uriList = data->data(kUriList).toStdString();
    }
    DropFill fill = ReadDrop(dropped, dropCounters_);
    if (fill.recognised) {
        urlField->setText(ToQString(fill.url));
    }
    // The look-up also matches the fields' words, and a shortcut's file name
    // is seldom the stored title: look up by the URL alone, and give the
    // title field the file name only when no entry was found and loaded.
    findEntryByUrl();
    if (fill.title && search_.hitCount == 0) {
        titleField->setText(ToQString(*fill.title));
    }
}

} // namespace tomorine
