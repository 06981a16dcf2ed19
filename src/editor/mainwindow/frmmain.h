#pragma once
// The editor's main window. It runs the start-up when constructed and is always shown,
// whatever step of the start-up failed.
#include <QMainWindow>
#include <filesystem>
#include <memory>

#include "foundation/dao.h"
#include "foundation/settings.h"

class QLabel;
class QProgressBar;
class Registry;

class FrmMain : public QMainWindow {
    Q_OBJECT
public:
    FrmMain(const std::filesystem::path& programDir, const Registry& registry, QWidget* parent = nullptr);
    ~FrmMain() override;

    Dao& dao() { return dao_; }
    Settings& settings() { return settings_; }
    // Status panel 1: what long work is doing.
    void setStatusText(const QString& text);

private:
    void buildStatusBar();
    void sizeToScreen();

    Dao dao_;
    Settings settings_;
    QLabel* panel1_ = nullptr;
    QLabel* panelB_ = nullptr;
    QLabel* panel3_ = nullptr;
    QProgressBar* prostatus_ = nullptr;
};
