#include "exporter/frmprogress.h"

#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QProgressBar>
#include <QVBoxLayout>
#include <algorithm>

FrmProgress::FrmProgress() : QWidget(nullptr, Qt::Window | Qt::WindowStaysOnTopHint | Qt::WindowTitleHint) {
    setObjectName(QStringLiteral("frmprogress"));
    setWindowTitle(QStringLiteral("Import/Export"));
    auto* layout = new QVBoxLayout(this);
    label1_ = new QLabel(this);
    label1_->setObjectName(QStringLiteral("Label1"));
    // Long paths must not widen the window.
    label1_->setMinimumWidth(360);
    label1_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    probar_ = new QProgressBar(this);
    probar_->setObjectName(QStringLiteral("probar"));
    probar_->setRange(0, 100);
    layout->addWidget(label1_);
    layout->addWidget(probar_);
    setFixedSize(420, 90);
}

void FrmProgress::begin(QWidget* owner, const QString& target) {
    running_ = true;
    label1_->setText(target);
    probar_->setValue(0);
    probar_->setFormat(QStringLiteral("%p%"));
    if (owner) {
        const QRect r = owner->frameGeometry();
        move(r.center() - QPoint(width() / 2, height() / 2));
    }
    setWindowFlag(Qt::WindowStaysOnTopHint, true);
    show();
    raise();
    QApplication::processEvents();
}

void FrmProgress::end() {
    setWindowFlag(Qt::WindowStaysOnTopHint, false);
    hide();
    running_ = false;
}

void FrmProgress::showTeam(const QString& name) {
    probar_->setFormat(name + QStringLiteral(" %p%"));
    QApplication::processEvents();
}

void FrmProgress::status(const std::string& text) {
    label1_->setText(QString::fromStdString(text));
    QApplication::processEvents();
}

void FrmProgress::percent(int value) {
    probar_->setValue(std::clamp(value, 0, 100));
    QApplication::processEvents();
}

// A run cannot be broken off halfway; the window closes itself when it ends.
void FrmProgress::closeEvent(QCloseEvent* event) {
    if (running_)
        event->ignore();
    else
        QWidget::closeEvent(event);
}
