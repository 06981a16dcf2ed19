// The editor as installed: its executable's folder read-only, the demo world installed beside
// it. It works in the user's data folder, shows its window there and names it in the About box.
#include <QLabel>
#include <QPushButton>
#include <QtTest>

#include "common/ui/messagebox.h"
#include "demo/demoworld.h"
#include "foundation/registry.h"
#include "foundation/startup.h"
#include "guisupport.h"
#include "mainwindow/frmmain.h"
#include "mainwindow_support.h"
#include "testsupport.h"

namespace fs = std::filesystem;

class TestInstalled : public QObject {
    Q_OBJECT
private slots:
    void init() {
        ui::MessageBox::setTestMode(true);
        ui::MessageBox::clearShown();
    }

    void installedEditorWorksInTheUserDataFolder() {
        guisupport::ProgramFolder root(false);
        const fs::path prefix = root.path() / "prefix";
        fs::create_directories(prefix / "bin");
        demo::writeProgramFolder(prefix / "share/kickora/demo", demo::Options{1, 7});
        testsupport::setWritable(prefix, false);
        const std::string before = testsupport::treeListing(prefix);
        const fs::path data = root.path() / "home/.local/share/kickoraeditor";

        const ProgramFolderChoice folder = chooseProgramFolder(prefix / "bin", data);
        QCOMPARE(folder.dir, data);
        QCOMPARE(folder.error, std::string());
        {
            FrmMain window(folder.dir, Registry(root.prefix()));
            QVERIFY(mwtest::show(window));
            guisupport::screenshot(&window, QStringLiteral("frmmain_installed_first_start"));
            QVERIFY(ui::MessageBox::shown().isEmpty());
            QVERIFY(window.dao().isOpen());
            QVERIFY(mwtest::scalar(window, "SELECT count(*) FROM vereine") > 0);
            QVERIFY(fs::exists(data / "kickoraeditor.ini"));

            QString programDir, description, disclaimer;
            mwtest::onNextModal([&](QWidget* dialog) {
                programDir = dialog->findChild<QLabel*>(QStringLiteral("lblprogramdir"))->text();
                description = dialog->findChild<QLabel*>(QStringLiteral("lbldescription"))->text();
                disclaimer = dialog->findChild<QLabel*>(QStringLiteral("lbldisclaimer"))->text();
                guisupport::screenshot(dialog, QStringLiteral("frmabout_installed"));
                dialog->findChild<QPushButton*>(QStringLiteral("cmdok"))->click();
            });
            mwtest::action(window, "mnuinfoitem_0")->trigger();
            QCOMPARE(programDir, QStringLiteral("Programmordner: ") + QString::fromStdString(data.string()));
            QVERIFY(description.startsWith(QStringLiteral("Datenbank-Editor")));
            QVERIFY(disclaimer.startsWith(QStringLiteral("Ein inoffizielles Werkzeug.")));
        }
        QCOMPARE(testsupport::treeListing(prefix), before);
        testsupport::setWritable(prefix, true);
    }
};

QTEST_MAIN(TestInstalled)
#include "test_installed.moc"
