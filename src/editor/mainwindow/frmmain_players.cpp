#include "mainwindow/frmmain_players.h"

#include <QGroupBox>
#include <QTableWidget>
#include <QVBoxLayout>
#include <QWidget>

#include "common/progress.h"
#include "foundation/dao.h"
#include "foundation/settings.h"

struct PlayerArea::Impl {
    Dao& dao;
    const Settings& settings;
    ProgressSink& progress;
    QWidget* gridFrame = nullptr;
    QWidget* page = nullptr;
    QTableWidget* grid = nullptr;
};

PlayerArea::PlayerArea(Dao& dao, const Settings& settings, ProgressSink& progress, QWidget* parent)
    : QObject(parent), d(new Impl{dao, settings, progress}) {
    auto* frame = new QGroupBox(parent);
    d->gridFrame = frame;
    d->grid = new QTableWidget(frame);
    d->grid->setObjectName(QStringLiteral("flxgrdspieler"));
    auto* layout = new QVBoxLayout(frame);
    layout->addWidget(d->grid);
    d->page = new QWidget(parent);
}

PlayerArea::~PlayerArea() { delete d; }

QWidget* PlayerArea::gridFrame() const { return d->gridFrame; }
QWidget* PlayerArea::playerPage() const { return d->page; }

void PlayerArea::initgrid() { d->grid->setColumnCount(18); }
void PlayerArea::load_attribute() {}
void PlayerArea::showspielerliste(long long) {}
void PlayerArea::setPlayerFramesEnabled(bool) {}
void PlayerArea::setGridEnabled(bool on) { d->gridFrame->setEnabled(on); }
void PlayerArea::setCountryList(const QStringList&) {}
