#include "mainwindow/frmmain.h"

#include <QApplication>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QScreen>
#include <QStatusBar>

#include "common/ui/messagebox.h"
#include "foundation/startup.h"

FrmMain::FrmMain(const std::filesystem::path& programDir, const Registry& registry, QWidget* parent)
    : QMainWindow(parent) {
    setObjectName(QStringLiteral("frmmain"));
    buildStatusBar();

    StartupResult start = runStartup(programDir, registry, dao_);
    settings_ = std::move(start.settings);

    const QString title = QString::fromStdString(programTitle());
    setWindowTitle(title);
    panel3_->setText(title + QStringLiteral(" - ") + QString::fromStdString(projectAddress()));
    sizeToScreen();
    setStatusText(QString::fromStdString(start.statusText));

    for (const std::string& error : start.errors)
        ui::MessageBox::critical(this, title, QString::fromStdString(error));
}

FrmMain::~FrmMain() = default;

void FrmMain::setStatusText(const QString& text) { panel1_->setText(text); }

void FrmMain::buildStatusBar() {
    QStatusBar* bar = statusBar();
    bar->setObjectName(QStringLiteral("stbstatus"));
    bar->setSizeGripEnabled(false);
    panel1_ = new QLabel(bar);
    panel1_->setObjectName(QStringLiteral("stbstatus_panel1"));
    panelB_ = new QLabel(bar);
    panelB_->setObjectName(QStringLiteral("stbstatus_panelB"));
    panel3_ = new QLabel(bar);
    panel3_->setObjectName(QStringLiteral("stbstatus_panel3"));
    // The progress bar sits inside panel "B".
    auto* layout = new QHBoxLayout(panelB_);
    layout->setContentsMargins(2, 2, 2, 2);
    prostatus_ = new QProgressBar(panelB_);
    prostatus_->setObjectName(QStringLiteral("prostatus"));
    prostatus_->setRange(0, 100);
    prostatus_->setValue(0);
    prostatus_->setTextVisible(false);
    layout->addWidget(prostatus_);
    for (QLabel* panel : {panel1_, panelB_, panel3_}) {
        panel->setFrameShape(QFrame::StyledPanel);
        bar->addWidget(panel, 1);
    }
}

void FrmMain::sizeToScreen() {
    QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen) return;
    const QRect area = screen->geometry();
    resize(area.width(), area.height() - 32);
    move(area.topLeft());
}
