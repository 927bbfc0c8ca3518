#include "mainwindow/conversion_progress.h"

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

ConversionProgress::ConversionProgress(UpgradeState& state, QWidget* parent)
    : QWidget(parent, Qt::Dialog), state_(state) {
    setObjectName(QStringLiteral("ConversionProgress"));
    setWindowTitle(QStringLiteral("トモリネ"));
    setWindowModality(Qt::NonModal);
    resize(kTrackLeft * 2 + kTrackWidth + 56, 104);

    messageLabel =
        Named<QLabel>(this, "messageLabel", QStringLiteral("データをコンバートしています"));
    messageLabel->setGeometry(kTrackLeft, 18, kTrackWidth, 24);

    progressTrack = Named<QLabel>(this, "progressTrack");
    progressTrack->setGeometry(kTrackLeft, kTrackTop, kTrackWidth, kTrackHeight);
    progressTrack->setFrameShape(QFrame::Panel);
    progressTrack->setFrameShadow(QFrame::Sunken);

    progressBar = Named<QLabel>(this, "progressBar");
    progressBar->setGeometry(kTrackLeft, kTrackTop, 0, kTrackHeight);
    progressBar->setAutoFillBackground(true);
    QPalette bar = progressBar->palette();
    bar.setColor(QPalette::Window, QColor(255, 224, 192));
    progressBar->setPalette(bar);

    percentLabel = Named<QLabel>(this, "percentLabel");
    percentLabel->setGeometry(kTrackLeft + kTrackWidth + 8, kTrackTop, 48, kTrackHeight);
}

void ConversionProgress::setPercent(int percent) {
    progressBar->resize(percent * progressTrack->width() / 100, progressBar->height());
    percentLabel->setText(QString::number(percent) + QStringLiteral(" %"));
}

void ConversionProgress::closeEvent(QCloseEvent* event) {
    if (!IsClosingByProgram(this)) {
        state_.conversionCancelRequested = true;
    }
    QWidget::closeEvent(event);
}

} // namespace tomorine
