#include "mainwindow/form7.h"

#include "mainwindow/named_widget.h"
#include "mainwindow/window_menu.h"
#include "upgrade/upgrade_context.h"

#include <QCloseEvent>
#include <QLabel>

namespace tomorine {

namespace {

constexpr int kTrackLeft = 24;
constexpr int kTrackTop = 56;
constexpr int kTrackWidth = 320;
constexpr int kTrackHeight = 22;

} // namespace

Form7::Form7(UpgradeState& state, QWidget* parent) : QWidget(parent, Qt::Dialog), state_(state) {
    setObjectName(QStringLiteral("Form7"));
    setWindowTitle(QStringLiteral("トモリネ"));
    setWindowModality(Qt::NonModal);
    resize(kTrackLeft * 2 + kTrackWidth + 56, 104);

    Label1 = Named<QLabel>(this, "Label1");
    Label1->setText(QStringLiteral("データをコンバートしています"));
    Label1->setGeometry(kTrackLeft, 18, kTrackWidth, 24);

    Label2 = Named<QLabel>(this, "Label2");
    Label2->setGeometry(kTrackLeft, kTrackTop, kTrackWidth, kTrackHeight);
    Label2->setFrameShape(QFrame::Panel);
    Label2->setFrameShadow(QFrame::Sunken);

    Label3 = Named<QLabel>(this, "Label3");
    Label3->setGeometry(kTrackLeft, kTrackTop, 0, kTrackHeight);
    Label3->setAutoFillBackground(true);
    QPalette bar = Label3->palette();
    bar.setColor(QPalette::Window, QColor(255, 224, 192));
    Label3->setPalette(bar);

    Label4 = Named<QLabel>(this, "Label4");
    Label4->setGeometry(kTrackLeft + kTrackWidth + 8, kTrackTop, 48, kTrackHeight);
}

void Form7::setPercent(int percent) {
    Label3->resize(percent * Label2->width() / 100, Label3->height());
    Label4->setText(QString::number(percent) + QStringLiteral(" %"));
}

void Form7::closeEvent(QCloseEvent* event) {
    if (!IsClosingByProgram(this)) {
        state_.ConversionCancelRequested = true;
    }
    QWidget::closeEvent(event);
}

} // namespace tomorine
