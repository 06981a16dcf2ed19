// Start of the editor on fresh program folders: German dialogs, a Jet database converted, a
// damaged database. The first start on a demo world is in the tree test.
#include <QAbstractButton>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLabel>
#include <QMessageBox>
#include <QTreeWidget>
#include <QtTest>
#include <fstream>

#include "common/jetimport.h"
#include "common/ui/german.h"
#include "common/ui/messagebox.h"
#include "foundation/registry.h"
#include "guisupport.h"
#include "testsupport.h"
#include "mainwindow/frmmain.h"

namespace fs = std::filesystem;
using testsupport::readFile;
using guisupport::ProgramFolder;

class TestFrmMainStartup : public QObject {
    Q_OBJECT
private slots:
    void init() {
        ui::MessageBox::setTestMode(true);
        ui::MessageBox::clearShown();
    }

    // Qt's own dialogs speak German once its translation is loaded; without the translation the
    // editor starts all the same.
    void qtDialogsSpeakGerman() {
        QTemporaryDir empty;
        QVERIFY(!ui::speakGerman(empty.path()));
        ProgramFolder folder;
        {
            FrmMain window(folder.path(), Registry(folder.prefix()));
            window.show();
            QVERIFY(QTest::qWaitForWindowExposed(&window));
        }
        QCOMPARE(QLocale().name(), QStringLiteral("de_DE"));

        QVERIFY(ui::speakGerman());
        QMessageBox box;
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        QCOMPARE(box.button(QMessageBox::Yes)->text() + '|' + box.button(QMessageBox::No)->text(),
                 QStringLiteral("&Ja|&Nein"));
        box.setIcon(QMessageBox::Critical);
        box.setText(QStringLiteral("Programm beenden"));
        box.show();
        QVERIFY(QTest::qWaitForWindowExposed(&box));
        guisupport::screenshot(&box, QStringLiteral("messagebox_german"));
        box.hide();
        QFileDialog dialog(nullptr, QStringLiteral("Exportieren"), QString::fromStdString(folder.path().string()));
        dialog.setOption(QFileDialog::DontUseNativeDialog);
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        guisupport::screenshot(&dialog, QStringLiteral("filedialog_german"));
        QStringList texts;
        for (const char* label : {"lookInLabel", "fileNameLabel", "fileTypeLabel"})
            texts << guisupport::child<QLabel>(&dialog, label)->text();
        for (QAbstractButton* b : guisupport::child<QDialogButtonBox>(&dialog, "buttonBox")->buttons()) texts << b->text();
        QCOMPARE(texts.join(QLatin1Char('|')), QStringLiteral("Suchen in:|Datei&name:|Dateien des Typs:|S&peichern|Abbrechen"));
    }

    void jetDatabaseIsConvertedAtStart() {
        ProgramFolder folder(false);
        const fs::path db = folder.path() / "kickora.mdb";
        fs::copy_file(KICKORA_FIXTURES "/jet/nwind.mdb", db);
        const std::string original = readFile(db);

        FrmMain window(folder.path(), Registry(folder.prefix()));
        window.resize(1280, 800);
        window.show();
        guisupport::screenshot(&window, QStringLiteral("frmmain_jet_converted"));

        QCOMPARE(jetimport::detect(db), jetimport::FileKind::Sqlite);
        QVERIFY(readFile(folder.path() / "kickora_jet.mdb") == original);
        QVERIFY(window.dao().isOpen());
        auto* panel1 = guisupport::child<QLabel>(&window, "stbstatus_panel1");
        QVERIFY(panel1->text().contains(QStringLiteral("kickora_jet.mdb")));
    }

    void damagedDatabaseStillShowsTheWindow() {
        ProgramFolder folder(false);
        const fs::path db = folder.path() / "kickora.mdb";
        {
            std::ofstream out(db, std::ios::binary);
            for (int i = 0; i < 5000; ++i) out.put(static_cast<char>((i * 7919) % 251));
        }
        const std::string original = readFile(db);

        FrmMain window(folder.path(), Registry(folder.prefix()));
        window.resize(1280, 800);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        guisupport::screenshot(&window, QStringLiteral("frmmain_damaged_database"));

        QVERIFY(!window.dao().isOpen());
        // The tree still holds the root and the twelve continents, and nothing else.
        auto* tvdb = guisupport::child<QTreeWidget>(&window, "tvdb");
        QCOMPARE(tvdb->topLevelItemCount(), 13);
        for (int i = 0; i < 13; ++i) QCOMPARE(tvdb->topLevelItem(i)->childCount(), 0);
        QCOMPARE(ui::MessageBox::shown().size(), 1);
        QCOMPARE(ui::MessageBox::shown().first().icon, ui::MessageBox::Critical);
        QVERIFY(readFile(db) == original);
        QCOMPARE(window.windowTitle(), QStringLiteral("Kickora Editor 1.1.4"));
    }
};

QTEST_MAIN(TestFrmMainStartup)
#include "test_frmmain_startup.moc"
