// The main window's find bar, player search and database check (menu "Bearbeiten").
#include <QTreeWidget>
#include <filesystem>
#include <system_error>

#include "common/ui/messagebox.h"
#include "mainwindow/find.h"
#include "mainwindow/frmfindbar.h"
#include "mainwindow/frmmain.h"
#include "mainwindow/frmmain_busy.h"
#include "mainwindow/frmmain_players.h"
#include "mainwindow/frmspielersuche.h"
#include "tools/frmdbcheck.h"

void FrmMain::mnubearbeiten_Click(int index) {
    switch (index) {
        case 0:
        case 1: undoRedo(index); break;
        case 3: findBar_->focusSearch(); break;
        case 4:
            if (!frmspielersuche_) {
                frmspielersuche_ = new FrmSpielersuche(dao_, *pickLists_, this);
                connect(frmspielersuche_, &FrmSpielersuche::spielerGewaehlt, this, [this](const QString& key, qlonglong number) {
                    if (!showEntry(key, number))
                        ui::MessageBox::information(frmspielersuche_, frmspielersuche_->windowTitle(),
                                                    QStringLiteral("Der Spieler %1 steht in keiner Liste des Baums.").arg(number));
                });
            }
            frmspielersuche_->show();
            frmspielersuche_->raise();
            frmspielersuche_->activateWindow();
            break;
        case 6: {
            const QString title = QString::fromUtf8(dbcheck::kTitle);
            if (!frmdbcheck_) {
                frmdbcheck_ = new FrmDbCheck(this);
                connect(frmdbcheck_, &FrmDbCheck::befundGewaehlt, this, [this, title](dbcheck::Target target, qlonglong number) {
                    QString key;
                    try {
                        if (target == dbcheck::Target::Player) key = QString::fromStdString(find::playerKey(dao_.db(), number));
                        else key = (target == dbcheck::Target::Club ? QStringLiteral("T") : QStringLiteral("L")) + QString::number(number);
                    } catch (const std::exception& e) {
                        showError(title, e);
                        return;
                    }
                    if (!showEntry(key, target == dbcheck::Target::Player ? number : -1))
                        ui::MessageBox::information(frmdbcheck_, title, QStringLiteral("Der Eintrag steht nicht im Baum."));
                });
            }
            // Without the crest folder every crest would be missing: that check is left out then.
            std::error_code ec;
            const std::string& crests = settings_.folders[FolderWappen];
            const std::string crestFolder = std::filesystem::is_directory(crests, ec) ? crests : std::string();
            const bool ok = runBusy(title, [&] {
                setStatusText(QStringLiteral("Prüfe Datenbank..."));
                frmdbcheck_->pruefen(dao_.db(), crestFolder);
            });
            setStatusText(QString());
            if (!ok) return;
            frmdbcheck_->show();
            frmdbcheck_->raise();
            frmdbcheck_->activateWindow();
            break;
        }
        default: break;
    }
}

bool FrmMain::showEntry(const QString& key, long long player) {
    QTreeWidgetItem* item = key.isEmpty() ? nullptr : node(key);
    if (!item) return false;
    for (QTreeWidgetItem* p = item; p; p = p->parent())
        if (p->isHidden()) {
            findBar_->clear();
            break;
        }
    for (QTreeWidgetItem* p = item->parent(); p; p = p->parent()) p->setExpanded(true);
    if (tvdb_->currentItem() == item) tvdb_NodeClick(item);
    else tvdb_->setCurrentItem(item);
    tvdb_->scrollToItem(item);
    if (player >= 0) playerArea_->selectPlayer(player);
    return true;
}
