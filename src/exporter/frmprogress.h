#pragma once
// frmprogress: the window that runs an export. It stays on top of all windows while the
// main window is disabled, shows what is written and how far the run is, and keeps the
// display current by processing pending events on every report.
#include <QWidget>

#include "common/progress.h"

class QLabel;
class QProgressBar;

class FrmProgress : public QWidget, public ProgressSink {
    Q_OBJECT
public:
    FrmProgress();

    // Shows the window on top of owner with the target path in Label1.
    void begin(QWidget* owner, const QString& target);
    // Takes the window out of the top-most order and hides it.
    void end();
    // The national team being written, shown in the progress bar; Label1 keeps the target.
    void showTeam(const QString& name);
    bool running() const { return running_; }

    void status(const std::string& text) override;
    void percent(int value) override;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    QLabel* label1_;
    QProgressBar* probar_;
    bool running_ = false;
};
