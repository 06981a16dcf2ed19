#include "tools/frmdbcheck.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {
constexpr int kTargetRole = Qt::UserRole;
constexpr int kNumberRole = Qt::UserRole + 1;
}  // namespace

FrmDbCheck::FrmDbCheck(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmdbcheck"));
    setWindowTitle(QString::fromUtf8(dbcheck::kTitle));
    lblergebnis_ = new QLabel(this);
    lblergebnis_->setObjectName(QStringLiteral("lblergebnis"));
    tvbefunde_ = new QTreeWidget(this);
    tvbefunde_->setObjectName(QStringLiteral("tvbefunde"));
    tvbefunde_->setColumnCount(2);
    tvbefunde_->setHeaderLabels({QStringLiteral("Nummer"), QStringLiteral("Befund")});
    tvbefunde_->setRootIsDecorated(true);
    tvbefunde_->setUniformRowHeights(true);
    tvbefunde_->setToolTip(QStringLiteral("Klick: Verein oder Spieler im Hauptfenster zeigen"));
    connect(tvbefunde_, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem* item) {
        if (!item || !item->parent()) return;
        emit befundGewaehlt(static_cast<dbcheck::Target>(item->data(0, kTargetRole).toInt()),
                            item->data(0, kNumberRole).toLongLong());
    });
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    buttons->button(QDialogButtonBox::Close)->setText(QStringLiteral("Schließen"));
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lblergebnis_);
    layout->addWidget(tvbefunde_, 1);
    layout->addWidget(buttons);
    resize(760, 520);
}

void FrmDbCheck::pruefen(jet::Database& db, const std::string& crestFolder) {
    const std::vector<dbcheck::Finding> findings = dbcheck::check(db, crestFolder);
    tvbefunde_->clear();
    static const char* const kTargets[] = {"Verein", "Land", "Spieler"};
    for (dbcheck::Kind kind : dbcheck::kKinds) {
        QTreeWidgetItem* group = nullptr;
        int count = 0;
        for (const dbcheck::Finding& f : findings) {
            if (f.kind != kind) continue;
            if (!group) group = new QTreeWidgetItem(tvbefunde_);
            auto* item = new QTreeWidgetItem(group, {QString::number(f.number), QString::fromStdString(f.text)});
            item->setData(0, kTargetRole, static_cast<int>(f.target));
            item->setData(0, kNumberRole, QVariant::fromValue<qlonglong>(f.number));
            item->setToolTip(0, QString::fromUtf8(kTargets[static_cast<int>(f.target)]) + QLatin1Char(' ') + QString::number(f.number));
            ++count;
        }
        if (!group) continue;
        group->setText(0, QStringLiteral("%1 (%2)").arg(QString::fromUtf8(dbcheck::kindTitle(kind))).arg(count));
        group->setFirstColumnSpanned(true);
        group->setExpanded(true);
    }
    lblergebnis_->setText(findings.empty() ? QStringLiteral("Keine Fehler vorhanden")
                                           : (findings.size() == 1 ? QStringLiteral("1 Befund") : QStringLiteral("%1 Befunde").arg(findings.size())));
    tvbefunde_->header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
}
