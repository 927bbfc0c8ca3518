#pragma once

#include <QWidget>

class QLabel;

namespace tomorine {

struct UpgradeState;

// The conversion's progress window: a fixed text, a track with a bar that
// grows with the progress, and the percentage. A close by the user (not by
// the program, see CloseByProgram) asks the conversion to stop.
class ConversionProgress : public QWidget {
    Q_OBJECT
public:
    explicit ConversionProgress(UpgradeState& state, QWidget* parent = nullptr);

    // Bar width p x track width / 100; text p + " %".
    void setPercent(int percent);

    QLabel* messageLabel;
    QLabel* progressTrack; // the track
    QLabel* progressBar;   // the bar
    QLabel* percentLabel;  // the percentage

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    UpgradeState& state_;
};

} // namespace tomorine
