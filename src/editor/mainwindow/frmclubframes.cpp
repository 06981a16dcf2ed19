#include "mainwindow/frmclubframes.h"

#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>

#include "foundation/schema.h"
#include "mainwindow/frmpicklists.h"

namespace {

QLineEdit* lineEdit(QWidget* parent, const char* name) {
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(QString::fromLatin1(name));
    edit->setMinimumWidth(180);
    return edit;
}

QLineEdit* numberEdit(QWidget* parent, const char* name) {
    QLineEdit* edit = lineEdit(parent, name);
    edit->setAlignment(Qt::AlignRight);
    edit->setMinimumWidth(90);
    edit->setMaximumWidth(120);
    return edit;
}

QGroupBox* frame(QWidget* page, const char* caption, const char* name) {
    auto* box = new QGroupBox(QString::fromUtf8(caption), page);
    box->setObjectName(QString::fromLatin1(name));
    return box;
}

}  // namespace

ClubFrames buildClubFrames(QWidget* page, PickLists& lists, const ClubFrameNames& names) {
    ClubFrames f;
    f.team = frame(page, "Team", names.team);
    auto* team = new QFormLayout(f.team);
    f.txtteamlang = lineEdit(f.team, "txtteamlang");
    f.txtteamkurz = lineEdit(f.team, "txtteamkurz");
    f.txtstadt = lineEdit(f.team, "txtstadt");
    f.cboland = new QComboBox(f.team);
    f.cboland->setObjectName(QStringLiteral("cboland"));
    f.cboland->setMaxVisibleItems(20);
    f.cboland->setMinimumContentsLength(18);
    lists.registerCombo(PickLists::Countries, f.cboland);
    f.cbokontinent = new QComboBox(f.team);
    f.cbokontinent->setObjectName(QStringLiteral("cbokontinent"));
    for (const char* continent : schema::kContinents) f.cbokontinent->addItem(QString::fromUtf8(continent));
    f.lblkontinent = new QLabel(QStringLiteral("Kontinent:"), f.team);
    f.lblkontinent->setObjectName(QStringLiteral("lblkontinent"));
    team->addRow(QStringLiteral("Teamname lang:"), f.txtteamlang);
    team->addRow(QStringLiteral("Teamname kurz:"), f.txtteamkurz);
    team->addRow(QStringLiteral("Stadt:"), f.txtstadt);
    team->addRow(QStringLiteral("Land:"), f.cboland);
    team->addRow(f.lblkontinent, f.cbokontinent);

    f.logo = frame(page, "Logo", names.logo);
    auto* logo = new QHBoxLayout(f.logo);
    auto* logoForm = new QFormLayout;
    f.txttnr = numberEdit(f.logo, "txttnr");
    f.txtgrafnr = numberEdit(f.logo, "txtgrafnr");
    logoForm->addRow(QStringLiteral("Teamnummer:"), f.txttnr);
    logoForm->addRow(QStringLiteral("Grafiknummer:"), f.txtgrafnr);
    f.crest = new QLabel(f.logo);
    f.crest->setObjectName(QString::fromLatin1(names.crest));
    f.crest->setFixedSize(72, 72);
    f.crest->setFrameShape(QFrame::StyledPanel);
    f.crest->setAlignment(Qt::AlignCenter);
    logo->addLayout(logoForm, 1);
    logo->addWidget(f.crest, 0, Qt::AlignTop);

    f.stadion = frame(page, "Stadion", names.stadion);
    auto* stadion = new QFormLayout(f.stadion);
    f.txtstadion = lineEdit(f.stadion, "txtstadion");
    f.txtsitz = numberEdit(f.stadion, "txtsitz");
    f.txtsteh = numberEdit(f.stadion, "txtsteh");
    stadion->addRow(QStringLiteral("Stadion:"), f.txtstadion);
    stadion->addRow(QStringLiteral("Sitzplätze:"), f.txtsitz);
    stadion->addRow(QStringLiteral("Stehplätze:"), f.txtsteh);
    return f;
}
