#include "editor/tools/frmspielerbild.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include "common/jetdb.h"
#include "common/progress.h"
#include "common/ui/messagebox.h"
#include "editor/tools/playerpictures.h"

namespace {

const QString kTitle = QStringLiteral("Spielerbilder zuordnen");

QString qs(const std::string& s) { return QString::fromStdString(s); }

}  // namespace

FrmSpielerbild::FrmSpielerbild(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmspielerbild"));
    setWindowTitle(kTitle);
    setModal(true);

    filbild_ = new QListWidget(this);
    filbild_->setObjectName(QStringLiteral("Filbild"));
    filbild_->setSelectionMode(QAbstractItemView::SingleSelection);
    filbild_->setMinimumWidth(220);
    label1_ = new QLabel(this);
    label1_->setObjectName(QStringLiteral("Label1"));
    label1_->setFrameShape(QFrame::StyledPanel);
    label1_->setMinimumWidth(300);
    lstnamen_ = new QListWidget(this);
    lstnamen_->setObjectName(QStringLiteral("lstnamen"));
    btnstart_ = new QPushButton(QStringLiteral("Start"), this);
    btnstart_->setObjectName(QStringLiteral("btnstart"));
    auto* btnabbrechen = new QPushButton(QStringLiteral("Abbrechen"), this);
    btnabbrechen->setObjectName(QStringLiteral("btnabbrechen"));
    btnabbrechen->setAutoDefault(false);
    connect(btnstart_, &QPushButton::clicked, this, &FrmSpielerbild::btnstart_Click);
    connect(btnabbrechen, &QPushButton::clicked, this, &QDialog::reject);
    connect(lstnamen_, &QListWidget::itemClicked, this, &FrmSpielerbild::lstnamen_Click);

    auto* right = new QVBoxLayout;
    right->addWidget(new QLabel(QStringLiteral("Bild:"), this));
    right->addWidget(label1_);
    right->addWidget(new QLabel(QStringLiteral("Mehrere Spieler passen, bitte einen auswählen:"), this));
    right->addWidget(lstnamen_, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(btnstart_);
    buttons->addWidget(btnabbrechen);
    right->addLayout(buttons);
    lblordner_ = new QLabel(this);
    lblordner_->setObjectName(QStringLiteral("lblordner"));
    lblordner_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto* left = new QVBoxLayout;
    left->addWidget(lblordner_);
    left->addWidget(filbild_, 1);
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(left);
    layout->addLayout(right, 1);
    resize(640, 400);
}

void FrmSpielerbild::zeigen(jet::Database& db, const std::filesystem::path& folder, ProgressSink* progress) {
    const std::string problem = playerpictures::checkFolder(folder, false);
    if (!problem.empty()) {
        ui::MessageBox::critical(parentWidget(), kTitle, qs(problem));
        return;
    }
    db_ = &db;
    progress_ = progress;
    fillList(folder);
    exec();
}

void FrmSpielerbild::fillList(const std::filesystem::path& folder) {
    folder_ = folder;
    lblordner_->setText(QStringLiteral("Bilder in %1").arg(QString::fromStdString(folder.string())));
    filbild_->clear();
    // The name's own bytes go with the item: they are what the rename needs.
    for (const std::string& file : playerpictures::pictureFiles(folder))
        (new QListWidgetItem(QString::fromUtf8(file), filbild_))->setData(Qt::UserRole, QByteArray::fromStdString(file));
    label1_->clear();
    lstnamen_->clear();
    btnstart_->setEnabled(true);
}

void FrmSpielerbild::btnstart_Click() {
    if (walking_ || !db_) return;
    const std::string problem = playerpictures::checkFolder(folder_);
    if (!problem.empty()) {
        ui::MessageBox::critical(this, kTitle, qs(problem));
        return;
    }
    btnstart_->setEnabled(false);
    walking_ = true;
    next_ = filbild_->count() - 1;
    nextFile();
}

// One file per turn of the event loop: the window stays live, and a pending choice simply
// ends the turn; the click on a player starts the next one.
void FrmSpielerbild::nextFile() {
    if (!walking_ || lstnamen_->count() > 0) return;
    if (next_ < 0) {
        endWalk();
        return;
    }
    const int total = filbild_->count();
    QListWidgetItem* item = filbild_->item(next_--);
    filbild_->setCurrentItem(item);
    current_ = item->data(Qt::UserRole).toByteArray().toStdString();
    label1_->setText(item->text());
    bool waiting = false;
    try {
        const auto players = playerpictures::findPlayers(*db_, playerpictures::parseName(current_));
        if (players.size() == 1) {
            rename(current_, players.front().number);
        } else if (players.size() > 1) {
            for (const auto& p : players) {
                auto* choice = new QListWidgetItem(qs(playerpictures::choiceText(p)), lstnamen_);
                choice->setData(Qt::UserRole, p.number);
            }
            waiting = true;
        }
    } catch (const jet::Error& e) {
        endWalk();
        ui::MessageBox::critical(this, kTitle, qs(e.what()));
        return;
    }
    // The progress bar lets pending events run, and one of them may close the window: the
    // walk then ends here, and nothing above is looked at again.
    if (progress_) progress_->percent(static_cast<int>((total - 1 - next_) * 100 / total));
    if (!waiting) QTimer::singleShot(0, this, &FrmSpielerbild::nextFile);
}

void FrmSpielerbild::lstnamen_Click(QListWidgetItem* item) {
    if (!walking_ || !item) return;
    const long long number = item->data(Qt::UserRole).toLongLong();
    rename(current_, number);
    lstnamen_->clear();
    QTimer::singleShot(0, this, &FrmSpielerbild::nextFile);
}

void FrmSpielerbild::rename(const std::string& file, long long number) {
    const std::string error = playerpictures::renamePicture(folder_, file, number);
    if (!error.empty()) ui::MessageBox::warning(this, kTitle, qs(error));
}

void FrmSpielerbild::endWalk() {
    walking_ = false;
    lstnamen_->clear();
    if (progress_) progress_->percent(0);
    // The list shows what is left to do.
    fillList(folder_);
}

void FrmSpielerbild::done(int result) {
    if (walking_) endWalk();
    QDialog::done(result);
}
