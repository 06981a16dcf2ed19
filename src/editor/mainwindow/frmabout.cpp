#include "mainwindow/frmabout.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QVBoxLayout>

#include "common/ui/messagebox.h"
#include "foundation/startup.h"

namespace {
QStringList g_searchPaths;
}

FrmAbout::FrmAbout(const std::filesystem::path& programDir, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmAbout"));
    // The version has a line of its own.
    const QString title = QString::fromStdString(programName());
    setWindowTitle(QStringLiteral("Info zu ") + title);
    setModal(true);

    auto* icon = new QLabel(this);
    icon->setObjectName(QStringLiteral("picicon"));
    if (parent) icon->setPixmap(parent->windowIcon().pixmap(64, 64));
    icon->setAlignment(Qt::AlignTop | Qt::AlignHCenter);

    auto* lbltitle = new QLabel(title, this);
    lbltitle->setObjectName(QStringLiteral("lbltitle"));
    QFont big = lbltitle->font();
    big.setPointSizeF(big.pointSizeF() * 1.5);
    big.setBold(true);
    lbltitle->setFont(big);
    auto* lblversion = new QLabel(QStringLiteral("Version ") + QStringLiteral(KICKORA_VERSION), this);
    lblversion->setObjectName(QStringLiteral("lblversion"));
    auto* lbldescription = new QLabel(
        QStringLiteral("Datenbank-Editor für das Fußballmanager-Spiel Kickora: Länder, Vereine, Spieler, "
                       "Talente, Trikots und Wappen."),
        this);
    lbldescription->setObjectName(QStringLiteral("lbldescription"));
    lbldescription->setWordWrap(true);
    auto* lbldisclaimer = new QLabel(
        QStringLiteral("Ein inoffizielles Werkzeug. Vor dem Bearbeiten eine Sicherung der kickora.mdb anlegen; "
                       "für Schäden an den Spieldaten wird keine Haftung übernommen."),
        this);
    lbldisclaimer->setObjectName(QStringLiteral("lbldisclaimer"));
    lbldisclaimer->setWordWrap(true);
    lbldisclaimer->setStyleSheet(QStringLiteral("color: palette(dark);"));

    auto* lblprogramdir =
        new QLabel(QStringLiteral("Programmordner: ") + QString::fromStdString(programDir.string()), this);
    lblprogramdir->setObjectName(QStringLiteral("lblprogramdir"));
    lblprogramdir->setWordWrap(true);
    lblprogramdir->setTextInteractionFlags(Qt::TextSelectableByMouse);

    auto* text = new QVBoxLayout;
    text->addWidget(lbltitle);
    text->addWidget(lblversion);
    text->addSpacing(8);
    text->addWidget(lbldescription);
    text->addSpacing(8);
    text->addWidget(lbldisclaimer);
    text->addSpacing(8);
    text->addWidget(lblprogramdir);
    text->addStretch(1);

    auto* top = new QHBoxLayout;
    top->addWidget(icon);
    top->addSpacing(12);
    top->addLayout(text, 1);

    auto* cmdok = new QPushButton(QStringLiteral("OK"), this);
    cmdok->setObjectName(QStringLiteral("cmdok"));
    cmdok->setDefault(true);
    auto* cmdsysinfo = new QPushButton(QStringLiteral("&Systeminfo..."), this);
    cmdsysinfo->setObjectName(QStringLiteral("cmdsysinfo"));
    connect(cmdok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cmdsysinfo, &QPushButton::clicked, this, &FrmAbout::startSysInfo);
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(cmdok);
    buttons->addWidget(cmdsysinfo);
    buttons->addStretch(1);
    top->addLayout(buttons);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    setMinimumWidth(480);
}

const QStringList& FrmAbout::systemInfoPrograms() {
    static const QStringList programs{QStringLiteral("hardinfo"),         QStringLiteral("hardinfo2"),
                                      QStringLiteral("kinfocenter"),      QStringLiteral("gnome-system-monitor"),
                                      QStringLiteral("mate-system-monitor"), QStringLiteral("xfce4-taskmanager"),
                                      QStringLiteral("lxtask"),           QStringLiteral("ksysguard")};
    return programs;
}

void FrmAbout::setSystemInfoSearchPaths(const QStringList& paths) { g_searchPaths = paths; }

QString FrmAbout::findSystemInfoProgram() {
    for (const QString& name : systemInfoPrograms()) {
        const QString found = QStandardPaths::findExecutable(name, g_searchPaths);
        if (!found.isEmpty()) return found;
    }
    return {};
}

void FrmAbout::startSysInfo() {
    const QString program = findSystemInfoProgram();
    if (program.isEmpty() || !QProcess::startDetached(program, {}))
        ui::MessageBox::information(this, windowTitle(), QStringLiteral("Systeminformationen sind momentan nicht verfügbar"));
}
