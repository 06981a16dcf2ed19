// Menus and toolbar of the main window: entries, jersey sets, jersey copy, folder hint,
// emptying and compacting the database, leaving the program, the About box.
#include <QDir>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <QtTest>

#include "common/profile.h"
#include "common/ui/filedialog.h"
#include "common/ui/messagebox.h"
#include "foundation/registry.h"
#include "guisupport.h"
#include "testsupport.h"
#include "mainwindow/frmabout.h"
#include "mainwindow/frmmain.h"
#include "mainwindow_support.h"

namespace fs = std::filesystem;
using testsupport::readFile;
using testsupport::writeFile;
using guisupport::ProgramFolder;
using mwtest::action;
using mwtest::scalar;
using ui::MessageBox;

namespace {


// The last message box shown, and how many were shown in all.
void expectBox(int count, const QString& title, const QString& text) {
    QCOMPARE(MessageBox::shown().size(), count);
    QCOMPARE(MessageBox::shown().last().title, title);
    QCOMPARE(MessageBox::shown().last().text, text);
}

// Check marks of the two jersey sets: menu entries 0 and 1, then the toolbar's Original and Kickoranet.
QString jerseyMarks(FrmMain& w) {
    QString marks;
    for (const char* name : {"mnuoptionenitem_0", "mnuoptionenitem_1", "tb_trikotoriginal", "tb_trikotkickoranet"})
        marks += action(w, name)->isChecked() ? QLatin1Char('x') : QLatin1Char('-');
    return marks;
}

}  // namespace

class TestFrmMainCommands : public QObject {
    Q_OBJECT
private slots:
    void init() {
        MessageBox::setTestMode(true);
        MessageBox::clearShown();
        ui::FileDialog::setTestMode(true);
    }

    void menusLaterFunctionsJerseyCopyAndFolderHint() {
        ProgramFolder folder;
        FrmMain window(folder.path(), Registry(folder.prefix()));
        QVERIFY(mwtest::show(window));
        QStringList bar;
        for (QAction* a : window.menuBar()->actions()) bar << a->text();
        QCOMPARE(bar, (QStringList{"&Datei", "&Bearbeiten", "&Optionen", "&Tools", "Tranfer&markt", "&Info"}));

        struct Entry {
            const char* name;
            const char* caption;
            QKeySequence shortcut;
            bool visible;
        };
        const Entry entries[] = {
            {"mnudateiitem_0", "&Neu...", QKeySequence("Ctrl+N"), true},
            {"mnudateiitem_1", "&Öffnen...", QKeySequence("Ctrl+O"), true},
            {"mnudateiitem_2", "&Speichern...", QKeySequence("Ctrl+S"), true},
            {"mnudateiitem_4", "&Import...", {}, true},
            {"mnudateiitem_7", "&Programmende", QKeySequence("Ctrl+Q"), true},
            {"mnuimportitem_2", "Verein (&Zentor Exporter)", QKeySequence("Ctrl+A"), true},
            {"mnuimportitem_3", "&Liga/Land (Zentor Exporter)", QKeySequence("Ctrl+L"), true},
            {"mnuexportitem_1", "&Wappen (wa.res)", QKeySequence("Ctrl+C"), true},
            {"mnuoptionenitem_2", "aktuellen Trikotsatz (ma.res) in Kickora kopieren", {}, true},
            {"mnuoptionenitem_4", "&Verzeichnisse", QKeySequence("Ctrl+V"), false},
            {"mnuoptionenitem_5", "", {}, false},
            {"mnuoptionenitem_6", "Datenbank &löschen", {}, true},
            {"mnutoolsitem_2", "&Trikotfarbeneditor (Livespiel)", {}, false},
            {"mnutoolsitem_3", "&Trikotfarben zuorden (Livespiel)", {}, false},
            {"mnutoolsitem_4", "template erstellen", {}, false},
            {"mnutoolsitem_5", "&Rückennummer überprüfen", {}, true},
            {"mnutoolsitem_7", "templiga", {}, false},
            {"mnutransferitem_1", "&Spielertransfer", {}, true},
            {"mnuinfoitem_0", "&Info zum Kickora Editor", {}, true},
            {"mnupopupitem_0", "aktualisieren", {}, true},
        };
        for (const Entry& e : entries) {
            QAction* a = action(window, e.name);
            QVERIFY2(a, e.name);
            QCOMPARE(a->text(), QString::fromUtf8(e.caption));
            QCOMPARE(a->shortcut(), e.shortcut);
            QCOMPARE(a->isVisible(), e.visible);
        }
        // Every menu's items are numbered without gaps, separators included.
        const std::pair<const char*, int> counts[] = {{"mnudatei", 8}, {"mnuimport", 4}, {"mnuexport", 2},
                                                      {"mnuoptionen", 8}, {"mnutools", 8}, {"mnutransfer", 2},
                                                      {"mnuinfo", 1}, {"mnupopup", 1}};
        for (const auto& [menu, count] : counts) {
            QMenu* m = window.findChild<QMenu*>(QString::fromLatin1(menu));
            QVERIFY2(m, menu);
            QCOMPARE(m->actions().size(), count);
            for (int i = 0; i < count; ++i)
                QCOMPARE(m->actions().at(i)->objectName(), QStringLiteral("%1item_%2").arg(QLatin1String(menu)).arg(i));
        }
        QVERIFY(action(window, "mnudateiitem_3")->isSeparator());
        QVERIFY(!window.menuBar()->actions().contains(window.findChild<QMenu*>(QStringLiteral("mnupopup"))->menuAction()));

        // Toolbar: keys and tooltips; club import only with the exporter table, jersey sets pressed.
        const std::pair<const char*, const char*> tools[] = {
            {"tb_new", "Neu"}, {"tb_open", "Öffnen"}, {"tb_save", "Speichern"},
            {"tb_impconfig", "Import Config (Kickora)"}, {"tb_expconfig", "Export Config (Kickora)"},
            {"tb_impzentor4", "Import Verein (Zentor 4)"}, {"tb_trikotoriginal", "Trikotsatz (Orignal)"},
            {"tb_trikotkickoranet", "Trikotsatz (Kickoranet)"}};
        for (const auto& [name, tip] : tools) {
            QVERIFY2(action(window, name), name);
            QCOMPARE(action(window, name)->toolTip(), QString::fromUtf8(tip));
            QVERIFY2(!action(window, name)->icon().isNull(), name);
        }
        QVERIFY(window.dao().hasTable("z4spieler"));
        QVERIFY(action(window, "tb_impzentor4")->isEnabled());
        QVERIFY(!action(window, "tb_save")->isEnabled());
        window.findChild<QMenu*>(QStringLiteral("mnuoptionen"))->popup(QPoint(100, 60));
        guisupport::screenshot(window.findChild<QMenu*>(QStringLiteral("mnuoptionen")), QStringLiteral("frmmain_menu_optionen"));
        window.findChild<QMenu*>(QStringLiteral("mnuoptionen"))->hide();

        // The file commands of the import end quietly when the file dialog is cancelled.
        for (const char* name : {"mnudateiitem_1", "mnuimportitem_2", "mnuimportitem_3", "tb_impzentor4", "tb_open"}) {
            window.setStatusText(QString());
            ui::FileDialog::setNextFileName(QString());
            action(window, name)->trigger();
            QCOMPARE(mwtest::status(window), QString());
            QVERIFY(window.centralWidget()->isEnabled());
        }
        QVERIFY(MessageBox::shown().isEmpty());
        // The two hidden entries without a function do nothing at all.
        window.setStatusText(QString());
        action(window, "mnutoolsitem_2")->trigger();
        action(window, "mnutoolsitem_3")->trigger();
        QCOMPARE(mwtest::status(window), QString());

        // Jersey copy without and with the game's archive, and the folder hint.
        MessageBox::clearShown();
        const fs::path target = window.settings().folders[FolderKickorares] + "ma.res";
        fs::remove(target);
        action(window, "mnuoptionenitem_2")->trigger();
        expectBox(1, QStringLiteral("Fehler"), QStringLiteral("Kein Kickora installiert"));
        QCOMPARE(MessageBox::shown().first().icon, MessageBox::Information);
        QVERIFY(!fs::exists(target));

        // With the game's archive present, the active set's archive replaces it.
        MessageBox::clearShown();
        fs::create_directories(target.parent_path());
        fs::create_directories(window.settings().folders[FolderTrikot1]);
        writeFile(target, "alt");
        writeFile(window.settings().folders[FolderTrikot1] + "ma.res", "kickoranet-satz");
        action(window, "mnuoptionenitem_1")->trigger();
        action(window, "mnuoptionenitem_2")->trigger();
        QVERIFY(MessageBox::shown().isEmpty());
        QCOMPARE(readFile(target), std::string("kickoranet-satz"));
        QCOMPARE(mwtest::status(window), QString());
        QVERIFY(window.centralWidget()->isEnabled());

        action(window, "mnuoptionenitem_4")->trigger();
        expectBox(1, QStringLiteral("Verzeichnisse"), QStringLiteral("Bitte die kickoraeditor.ini mit dem Notepad bearbeiten!"));
    }

    void jerseySetsAreWrittenToTheSettings() {
        ProgramFolder folder;
        const fs::path ini = folder.path() / "kickoraeditor.ini";
        {
            FrmMain window(folder.path(), Registry(folder.prefix()));
            QCOMPARE(jerseyMarks(window), QStringLiteral("x-x-"));
            action(window, "mnuoptionenitem_1")->trigger();
            QCOMPARE(profile::getString("trikot", "satz", "", ini), std::string("1"));
            QCOMPARE(jerseyMarks(window), QStringLiteral("-x-x"));
            // The same set again: same marks (a pressed toolbar button stays pressed).
            action(window, "tb_trikotkickoranet")->trigger();
            QCOMPARE(jerseyMarks(window), QStringLiteral("-x-x"));
        }
        // The next start takes set 1.
        FrmMain window(folder.path(), Registry(folder.prefix()));
        QCOMPARE(jerseyMarks(window), QStringLiteral("-x-x"));
        action(window, "tb_trikotoriginal")->trigger();
        QCOMPARE(profile::getString("trikot", "satz", "", ini), std::string("0"));
        QVERIFY(MessageBox::shown().isEmpty());
    }

    void compactingThenEmptyingTheDatabase() {
        ProgramFolder folder;
        FrmMain window(folder.path(), Registry(folder.prefix()));
        QVERIFY(mwtest::show(window));
        const fs::path db = folder.path() / "kickora.mdb";
        window.dao().execute("DELETE FROM spieler WHERE NUMMER IN (SELECT spieler FROM vereinspieler WHERE verein=0)");
        window.dao().execute("DELETE FROM vereinspieler WHERE verein=0");
        const std::string bytes = readFile(db);
        QTreeWidget* tvdb = window.findChild<QTreeWidget*>(QStringLiteral("tvdb"));
        const int germanClubs = window.node(QStringLiteral("L1"))->childCount();

        MessageBox::setNextAnswer(MessageBox::No);
        action(window, "mnuoptionenitem_7")->trigger();
        expectBox(1, QStringLiteral("Komprimieren"), QStringLiteral("Datenbank komprimieren!"));
        QVERIFY(readFile(db) == bytes);

        mwtest::clickNode(window, QStringLiteral("L1"));
        MessageBox::setNextAnswer(MessageBox::Yes);
        action(window, "mnuoptionenitem_7")->trigger();
        QCOMPARE(MessageBox::shown().size(), 2);
        QVERIFY(window.dao().isOpen());
        QVERIFY(!fs::exists(folder.path() / "kickora_backup.mdb"));
        QVERIFY(fs::file_size(db) < bytes.size());
        QCOMPARE(tvdb->topLevelItemCount(), 13);
        QCOMPARE(window.node(QStringLiteral("L1"))->childCount(), germanClubs);
        QCOMPARE(tvdb->currentItem(), window.node(QStringLiteral("L1")));
        QCOMPARE(mwtest::text(window, "txtteamlang"), QStringLiteral("Deutschland"));
        QVERIFY(window.centralWidget()->isEnabled());

        // Emptying, on the compacted database: No keeps everything.
        MessageBox::clearShown();
        const long long clubs = scalar(window, "SELECT count(*) FROM vereine");
        const long long players = scalar(window, "SELECT count(*) FROM spieler");
        const long long talents = scalar(window, "SELECT count(*) FROM e_attribute");

        MessageBox::setNextAnswer(MessageBox::No);
        action(window, "mnuoptionenitem_6")->trigger();
        expectBox(1, QStringLiteral("Löschen"), QStringLiteral("Datenbankinhalt wirklich löschen!"));
        QCOMPARE(MessageBox::shown().first().icon, MessageBox::Question);
        QCOMPARE(QList<long long>({scalar(window, "SELECT count(*) FROM vereine"), scalar(window, "SELECT count(*) FROM spieler")}),
                 QList<long long>({clubs, players}));

        // Yes: root, transfer market with fresh players and twelve empty continents remain.
        mwtest::clickNode(window, QStringLiteral("L1"));
        MessageBox::setNextAnswer(MessageBox::Yes);
        action(window, "mnuoptionenitem_6")->trigger();
        QCOMPARE(MessageBox::shown().size(), 2);
        QList<long long> counts;
        for (const char* from : {"vereine", "vereine_national", "spieler", "vereinspieler WHERE verein=0", "e_attribute"})
            counts << scalar(window, std::string("SELECT count(*) FROM ") + from);
        QCOMPARE(counts, QList<long long>({1, 0, 1700, 1700, talents}));
        QCOMPARE(tvdb->topLevelItemCount(), 13);
        QCOMPARE(tvdb->topLevelItem(0)->childCount(), 1);
        for (int i = 1; i < 13; ++i) QCOMPARE(tvdb->topLevelItem(i)->childCount(), 0);
        QVERIFY(window.centralWidget()->isEnabled());
        QVERIFY(!window.findChild<QPushButton*>(QStringLiteral("btnteamsave"))->isEnabled());
        QCOMPARE(mwtest::text(window, "txtteamlang"), QString());
        guisupport::screenshot(&window, QStringLiteral("frmmain_database_emptied"));
    }

    void aboutBoxSystemInformationAndLeaving() {
        ProgramFolder folder;
        FrmMain window(folder.path(), Registry(folder.prefix()));
        QVERIFY(mwtest::show(window));
        QTemporaryDir bin;
        FrmAbout::setSystemInfoSearchPaths({bin.path()});

        QString title, version, program;
        mwtest::onNextModal([&](QWidget* dialog) {
            title = dialog->windowTitle();
            version = dialog->findChild<QLabel*>(QStringLiteral("lblversion"))->text();
            program = dialog->findChild<QLabel*>(QStringLiteral("lbltitle"))->text();
            guisupport::screenshot(dialog, QStringLiteral("frmabout"));
            dialog->findChild<QPushButton*>(QStringLiteral("cmdsysinfo"))->click();
            dialog->findChild<QPushButton*>(QStringLiteral("cmdok"))->click();
        });
        action(window, "mnuinfoitem_0")->trigger();
        QCOMPARE(QStringList({title, program, version}),
                 QStringList({"Info zu Kickora Editor", "Kickora Editor", "Version 1.1.4"}));
        QCOMPARE(MessageBox::shown().size(), 1);
        QCOMPARE(MessageBox::shown().first().text, QStringLiteral("Systeminformationen sind momentan nicht verfügbar"));
        QVERIFY(window.findChild<FrmAbout*>());

        // A system information program on the search path is started.
        const QString marker = bin.filePath(QStringLiteral("gestartet"));
        const QString script = bin.filePath(QStringLiteral("gnome-system-monitor"));
        writeFile(script.toStdString(), "#!/bin/sh\ntouch '" + marker.toStdString() + "'\n");
        QFile::setPermissions(script, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QCOMPARE(FrmAbout::findSystemInfoProgram(), script);
        MessageBox::clearShown();
        mwtest::onNextModal([](QWidget* dialog) {
            dialog->findChild<QPushButton*>(QStringLiteral("cmdsysinfo"))->click();
            dialog->findChild<QPushButton*>(QStringLiteral("cmdok"))->click();
        });
        action(window, "mnuinfoitem_0")->trigger();
        QTRY_VERIFY(QFile::exists(marker));
        QVERIFY(MessageBox::shown().isEmpty());
        // The box was made once and is only hidden.
        QCOMPARE(window.findChildren<FrmAbout*>().size(), 1);
        FrmAbout::setSystemInfoSearchPaths({});

        // Leaving asks first: No keeps window and database.
        MessageBox::clearShown();
        MessageBox::setNextAnswer(MessageBox::No);
        QVERIFY(!window.close());
        expectBox(1, QStringLiteral("Programmende"), QStringLiteral("Programm beenden"));
        QVERIFY(MessageBox::shown().first().question);
        QCOMPARE(MessageBox::shown().first().icon, MessageBox::Critical);
        QVERIFY(window.isVisible());
        QVERIFY(window.dao().isOpen());
        QVERIFY(scalar(window, "SELECT count(*) FROM vereine") > 0);

        // "&Programmende" asks the same; Yes closes the database and the window.
        MessageBox::setNextAnswer(MessageBox::Yes);
        action(window, "mnudateiitem_7")->trigger();
        QCOMPARE(MessageBox::shown().size(), 2);
        QVERIFY(!window.isVisible());
        QVERIFY(!window.dao().isOpen());
    }
};

QTEST_MAIN(TestFrmMainCommands)
#include "test_frmmain_commands.moc"
