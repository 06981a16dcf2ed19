// Crests, jerseys and faces in the main window on a demo world: the crest chooser, crest
// export and import through the menu, the jersey previews and chooser with the colours the
// save writes, the face in the player editor, the face dialog and the face check.
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTableWidget>
#include <QtTest>
#include <filesystem>

#include "common/profile.h"
#include "common/ui/filedialog.h"
#include "common/ui/messagebox.h"
#include "editor/graphics/pictures.h"
#include "editor/graphics/resarchive.h"
#include "foundation/registry.h"
#include "guisupport.h"
#include "testsupport.h"
#include "mainwindow/frmmain.h"
#include "mainwindow_support.h"

namespace fs = std::filesystem;
using testsupport::readFile;
using testsupport::writeFile;
using guisupport::ProgramFolder;
using mwtest::action;
using mwtest::clickCell;
using mwtest::clickNode;
using mwtest::scalar;
using mwtest::text;
using mwtest::textOf;
using ui::MessageBox;

namespace {

std::string folderOf(FrmMain& w, int index) { return w.settings().folders[static_cast<std::size_t>(index)]; }

// Club 0 is the transfer market.
QString firstClubKey(FrmMain& w) { return QStringLiteral("T%1").arg(scalar(w, "SELECT min(NUMMER) FROM vereine WHERE NUMMER > 0")); }

QColor shapeColour(FrmMain& w, const QString& name) {
    auto* shape = w.findChild<QFrame*>(name);
    return shape ? shape->palette().color(QPalette::Window) : QColor();
}

// "R,G,B" of a colour-table text, read here on its own.
QColor colourOf(const std::string& text) {
    QStringList parts = QString::fromStdString(text).remove(QLatin1Char('"')).split(QLatin1Char(','));
    if (parts.size() != 3) return QColor();
    return QColor(parts[0].trimmed().toInt(), parts[1].trimmed().toInt(), parts[2].trimmed().toInt());
}

template <typename T>
T* in(QWidget* dialog, const QString& name) {
    return dialog->findChild<T*>(name);
}

// Face code of skin and part indices, computed here on its own.
long long faceCode(int skin, std::array<int, 5> parts) {
    const long long weights[5] = {67108864, 1048576, 8192, 128, 4};
    long long code = 0;
    for (int k = 0; k < 4; ++k) code += parts[k] * weights[k];
    return code + (skin == 1 ? 1 : parts[4] * weights[4]);
}

// The one message box shown since the last clear.
void expectBox(const QString& title, MessageBox::Icon icon, const QString& text) {
    QCOMPARE(MessageBox::shown().size(), 1);
    const auto& box = MessageBox::shown().first();
    QCOMPARE(box.title, title);
    QCOMPARE(box.icon, icon);
    QVERIFY2(box.text.contains(text), qPrintable(box.text));
    MessageBox::clearShown();
}

// The window is idle again: status panel cleared, controls enabled.
void expectIdle(FrmMain& w) {
    QCOMPARE(mwtest::status(w), QString());
    QVERIFY(w.centralWidget()->isEnabled());
}

// Triggers a menu entry with the next file dialog answered by `file` (empty: cancelled).
void runWithFile(FrmMain& w, const char* name, const fs::path& file) {
    ui::FileDialog::setNextFileName(QString::fromStdString(file.string()));
    action(w, name)->trigger();
}

int countFiles(const fs::path& folder, const std::string& prefix) {
    int n = 0;
    for (const auto& e : fs::directory_iterator(folder))
        if (e.path().filename().string().rfind(prefix, 0) == 0) ++n;
    return n;
}

}  // namespace

class TestGraphics : public QObject {
    Q_OBJECT
private slots:
    void init() {
        MessageBox::setTestMode(true);
        MessageBox::clearShown();
        ui::FileDialog::setTestMode(true);
    }

    void crestAndJerseyChoosers() {
        ProgramFolder folder;
        FrmMain window(folder.path(), Registry(folder.prefix()));
        QVERIFY(mwtest::show(window));
        const QString key = firstClubKey(window);
        const std::string where = " FROM vereine WHERE NUMMER=" + key.mid(1).toStdString();
        const std::string crests = folderOf(window, FolderWappen);
        clickNode(window, key);
        auto* imgwappen = window.findChild<QLabel*>(QStringLiteral("imgwappen"));
        QVERIFY(!imgwappen->pixmap().isNull());

        // Open by a click on the crest; the dialog is answered once it shows. How fast it
        // opens: bench/bench_windows.
        bool opened = false;
        QString previewNumber, afterLastCell;
        bool previewShown = false;
        mwtest::onNextModal([&](QWidget* dialog) {
            opened = true;
            QCOMPARE(dialog->objectName(), QStringLiteral("frmwappen"));
            auto* grid = in<QTableWidget>(dialog, QStringLiteral("flxgrdwappen"));
            QCOMPARE(QList<int>({grid->rowCount(), grid->columnCount(), grid->columnWidth(0), grid->rowHeight(0)}),
                     QList<int>({91, 11, 66, 66}));
            clickCell(grid, 11, 2);  // number 123
            previewNumber = in<QLabel>(dialog, QStringLiteral("lblnummer"))->text();
            previewShown = !in<QLabel>(dialog, QStringLiteral("imgvorschau"))->pixmap().isNull();
            clickCell(grid, 90, 10);  // number 1000: no crest
            afterLastCell = in<QLabel>(dialog, QStringLiteral("lblnummer"))->text();
            guisupport::screenshot(dialog, QStringLiteral("frmwappen_chosen"));
            QTest::mouseClick(in<QPushButton>(dialog, QStringLiteral("btnok")), Qt::LeftButton);
        });
        QTest::mouseClick(imgwappen, Qt::LeftButton);
        QVERIFY(opened);
        QCOMPARE(previewNumber, QStringLiteral("Nummer 123"));
        QVERIFY(previewShown);
        QCOMPARE(afterLastCell, previewNumber);
        QCOMPARE(text(window, "txtgrafnr"), QStringLiteral("123"));
        const QImage expected = gfx::loadPicture(fs::path(crests) / "vereins_wappen_123.tga").convertToFormat(QImage::Format_RGB32);
        QCOMPARE(imgwappen->pixmap().toImage().convertToFormat(QImage::Format_RGB32), expected);

        // The club row takes the number only when the club is saved.
        QVERIFY(scalar(window, "SELECT GRAFIK_NR" + where) != 123);
        QTest::mouseClick(window.findChild<QPushButton*>(QStringLiteral("btnteamsave")), Qt::LeftButton);
        QCOMPARE(scalar(window, "SELECT GRAFIK_NR" + where), 123LL);

        // Cancel changes nothing; the dialog is the same one, hidden in between.
        QWidget* first = window.findChild<QWidget*>(QStringLiteral("frmwappen"));
        bool openedAgain = false;
        mwtest::onNextModal([&](QWidget* dialog) {
            openedAgain = true;
            QCOMPARE(dialog, first);
            clickCell(in<QTableWidget>(dialog, QStringLiteral("flxgrdwappen")), 0, 5);
            QTest::mouseClick(in<QPushButton>(dialog, QStringLiteral("btnabbrechen")), Qt::LeftButton);
        });
        QTest::mouseClick(window.findChild<QLabel*>(QStringLiteral("imgwappen")), Qt::LeftButton);
        QVERIFY(openedAgain);
        QCOMPARE(text(window, "txtgrafnr"), QStringLiteral("123"));
        QVERIFY(MessageBox::shown().isEmpty());

        // Jerseys of the same club. Stored colours are shown as stored, whatever the model's defaults.
        window.dao().execute("UPDATE vereine SET F_TRIKOT_SPIELER=\" 1, 2, 3\", TRIKOT_ART=5 WHERE NUMMER=" + key.mid(1).toStdString());
        action(window, "mnupopupitem_0")->trigger();  // the tree's "aktualisieren" shows the club again
        clickNode(window, key);
        auto* away = window.findChild<QLabel*>(QStringLiteral("pictrikot_1"));
        QCOMPARE(window.findChild<QLabel*>(QStringLiteral("pictrikot_0"))->property("tag").toInt(), 5);
        QCOMPARE(shapeColour(window, QStringLiteral("shpstreif_0")), QColor(1, 2, 3));
        QCOMPARE(shapeColour(window, QStringLiteral("shpsock_0")), QColor(1, 2, 3));
        QVERIFY(!away->pixmap().isNull());
        const int oldModel = away->property("tag").toInt();
        QCOMPARE(oldModel, static_cast<int>(scalar(window, "SELECT AUSWEICH_TRIKOT_ART" + where)));
        guisupport::screenshot(&window, QStringLiteral("frmmain_jerseys"));

        // The chooser shows the chosen model live; cells past model 79 change nothing.
        const int model = oldModel == 37 ? 38 : 37;
        int liveTag = -1, afterCaption = -1;
        bool liveCell = false;
        mwtest::onNextModal([&](QWidget* dialog) {
            QCOMPARE(dialog->objectName(), QStringLiteral("frmtrikot"));
            auto* grid = in<QTableWidget>(dialog, QStringLiteral("flxgrdtrikot"));
            QCOMPARE(QList<int>({grid->rowCount(), grid->columnCount(), grid->property("tag").toInt()}),
                     QList<int>({7, 12, oldModel}));
            clickCell(grid, model / 12, model % 12);
            liveTag = grid->property("tag").toInt();
            liveCell = !grid->item(6, 11)->data(Qt::DecorationRole).value<QPixmap>().isNull();
            clickCell(grid, 6, 9);  // the caption
            clickCell(grid, 6, 11);  // the selection cell itself
            afterCaption = grid->property("tag").toInt();
            guisupport::screenshot(dialog, QStringLiteral("frmtrikot_chosen"));
            QTest::mouseClick(in<QPushButton>(dialog, QStringLiteral("btnok")), Qt::LeftButton);
        });
        QTest::mouseDClick(away, Qt::LeftButton);
        QCOMPARE(liveTag, model);
        QVERIFY(liveCell);
        QCOMPARE(afterCaption, model);
        QCOMPARE(away->property("tag").toInt(), model);
        const std::string defaults = " FROM e_trikotfarbeoriginal WHERE Nummer=" + std::to_string(model);
        auto modelColour = [&](const char* column) { return colourOf(textOf(window, "SELECT " + std::string(column) + defaults)); };
        // The preview takes the model's colours (which shape takes which is unit-tested).
        const QColor trikot1 = modelColour("Trikot1"), trikot2 = modelColour("Trikot2"), hose = modelColour("Hose");
        const std::pair<const char*, QColor> shown[] = {{"shpstreif_5", trikot1}, {"shparm_3", trikot2}, {"shphose_4", hose}};
        for (const auto& [shape, colour] : shown) QCOMPARE(shapeColour(window, QString::fromLatin1(shape)), colour);
        // The database is written only by the save, then with the model's default colours.
        QCOMPARE(scalar(window, "SELECT AUSWEICH_TRIKOT_ART" + where), static_cast<long long>(oldModel));
        QTest::mouseClick(window.findChild<QPushButton*>(QStringLiteral("btnteamsave")), Qt::LeftButton);
        QVERIFY(MessageBox::shown().isEmpty());
        QCOMPARE(scalar(window, "SELECT AUSWEICH_TRIKOT_ART" + where), static_cast<long long>(model));
        QCOMPARE(colourOf(textOf(window, "SELECT F_AUSW_HOSE_SPIELER" + where)), trikot1);
        QCOMPARE(colourOf(textOf(window, "SELECT F_TRIKOT_WERBUNG" + where)), hose);

        // Cancel keeps the model; another jersey set drops the loaded chooser.
        QWidget* chooser = window.findChild<QWidget*>(QStringLiteral("frmtrikot"));
        QVERIFY(chooser);
        mwtest::onNextModal([&](QWidget* dialog) {
            clickCell(in<QTableWidget>(dialog, QStringLiteral("flxgrdtrikot")), 0, 3);
            QTest::mouseClick(in<QPushButton>(dialog, QStringLiteral("btnabbrechen")), Qt::LeftButton);
        });
        QTest::mouseDClick(window.findChild<QLabel*>(QStringLiteral("pictrikot_1")), Qt::LeftButton);
        QCOMPARE(window.findChild<QLabel*>(QStringLiteral("pictrikot_1"))->property("tag").toInt(), model);
        action(window, "mnuoptionenitem_1")->trigger();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!window.findChild<QWidget*>(QStringLiteral("frmtrikot")));
    }

    void crestsExportedAndImportedThroughTheMenu() {
        ProgramFolder folder;
        FrmMain window(folder.path(), Registry(folder.prefix()));
        QVERIFY(mwtest::show(window));
        const fs::path crests = folderOf(window, FolderWappen);
        const fs::path archive = folder.path() / "export" / "wa.res";
        fs::create_directories(archive.parent_path());
        const long members = profile::getInt(profile::sectionNames(crests / "wa.lst").front(), "anzahl", crests / "wa.lst");

        // Cancelled dialogs do nothing.
        runWithFile(window, "mnuexportitem_1", fs::path());
        QVERIFY(!fs::exists(archive));

        runWithFile(window, "mnuexportitem_1", archive);
        QVERIFY(MessageBox::shown().isEmpty());
        QVERIFY(gfx::isArchive(archive));
        gfx::ResArchive written = gfx::ResArchive::open(archive);
        QCOMPARE(static_cast<long>(written.members().size()), members);
        expectIdle(window);

        // Import brings back crests that were spoiled meanwhile; the others stay.
        const std::string crest5 = readFile(crests / "vereins_wappen_5.tga");
        writeFile(crests / "vereins_wappen_5.tga", "kaputt");
        writeFile(crests / "vereins_wappen_998.tga", "fremd");
        runWithFile(window, "mnuimportitem_1", archive);
        QVERIFY(MessageBox::shown().isEmpty());
        QCOMPARE(readFile(crests / "vereins_wappen_5.tga"), crest5);
        QCOMPARE(readFile(crests / "vereins_wappen_998.tga"), std::string("fremd"));
        QVERIFY(window.centralWidget()->isEnabled());

        // An archive with a member named out of the crest folder: skipped with a German line,
        // the good member still imported.
        const fs::path bad = folder.path() / "export" / "bad.res";
        {
            gfx::ResArchiveWriter w(bad, gfx::kCrestType);
            w.add("../boese", written.memberGfp(0));
            w.add("vereins_wappen_7", written.memberGfp(0));
            w.finish();
        }
        fs::remove(crests / "vereins_wappen_7.tga");
        runWithFile(window, "mnuimportitem_1", bad);
        QVERIFY(MessageBox::shown().value(0).text.contains(QStringLiteral("übersprungen")));
        expectBox(QStringLiteral("Importieren Wappen..."), MessageBox::Warning, QStringLiteral("../boese"));
        QVERIFY(fs::exists(crests / "vereins_wappen_7.tga"));
        QVERIFY(!fs::exists(crests.parent_path().parent_path() / "boese.tga"));

        // A failing export says so and leaves the archive as it was.
        const std::string before = readFile(archive);
        fs::remove(crests / "default.gfp");
        runWithFile(window, "mnuexportitem_1", archive);
        expectBox(QStringLiteral("Exportiere Wappen..."), MessageBox::Critical, QString());
        QCOMPARE(readFile(archive), before);
        expectIdle(window);
    }

    void faceShownChangedInTheDialogAndChecked() {
        ProgramFolder folder;
        FrmMain window(folder.path(), Registry(folder.prefix()));
        QVERIFY(mwtest::show(window));
        const QString key = firstClubKey(window);
        clickNode(window, key);
        auto* grid = window.findChild<QTableWidget*>(QStringLiteral("flxgrdspieler"));
        const long long player = grid->item(0, 0)->text().toLongLong();
        const std::string where = " FROM spieler WHERE NUMMER=" + std::to_string(player);
        // A white face whose hair index lies past the last hair picture.
        const int hairs = countFiles(folderOf(window, FolderGesicht), "sp_gesicht_weiss_haare_");
        const long long code = faceCode(0, {2, 3, hairs + 5, 1, 4});
        window.dao().execute("UPDATE spieler SET GESICHT=" + std::to_string(code) + " WHERE NUMMER=" + std::to_string(player));
        action(window, "mnupopupitem_0")->trigger();  // the tree's "aktualisieren" reloads the list
        clickCell(grid, 0, 1);

        auto* picgesicht = window.findChild<QLabel*>(QStringLiteral("picgesicht"));
        QCOMPARE(picgesicht->property("tag").toLongLong(), code);
        QVERIFY(!picgesicht->pixmap().isNull());
        const int expected[5] = {2, 3, hairs - 1, 1, 4};
        for (int k = 0; k < 5; ++k) {
            auto* layer = window.findChild<QLabel*>(QStringLiteral("imggesicht_%1").arg(k));
            QCOMPARE(layer->property("tag").toInt(), expected[k]);
            QVERIFY(!layer->pixmap().isNull());
        }
        guisupport::screenshot(&window, QStringLiteral("frmmain_face"));

        // Dialog: opens on the shown face; plus and minus move the sliders; Reset goes back.
        // Seen in the dialog, in order: white skin checked, hair slider, nose after plus and after
        // reset; with a dark skin the eye range, chin plus and minus, hair minus after two plus.
        QList<int> seen;
        QWidget* dialogSeen = nullptr;
        mwtest::onNextModal([&](QWidget* dialog) {
            dialogSeen = dialog;
            auto click = [&](const char* name) { QTest::mouseClick(dialog->findChild<QWidget*>(QString::fromLatin1(name)), Qt::LeftButton); };
            auto slider = [&](const char* name) { return in<QSlider>(dialog, QString::fromLatin1(name)); };
            auto enabled = [&](const char* name) { return int(in<QPushButton>(dialog, QString::fromLatin1(name))->isEnabled()); };
            seen << int(in<QRadioButton>(dialog, QStringLiteral("opthautfarbe_0"))->isChecked()) << slider("sldgesicht_2")->value();
            click("btnplus_0");
            seen << slider("sldgesicht_0")->value();
            click("btnreset");
            seen << slider("sldgesicht_0")->value();
            // A dark skin: every slider back to 0, ranges from that colour's pictures.
            click("opthautfarbe_1");
            seen << slider("sldgesicht_3")->maximum() + 1 << enabled("btnplus_4") << enabled("btnminus_4");
            click("btnplus_2");
            click("btnplus_2");
            seen << enabled("btnminus_2");
            slider("sldgesicht_1")->setValue(1);
            guisupport::screenshot(dialog, QStringLiteral("frmgesicht_black"));
            click("btnok");
        });
        QTest::mouseDClick(picgesicht, Qt::LeftButton);
        QVERIFY(dialogSeen);
        QCOMPARE(seen, QList<int>({1, hairs - 1, 3, 2, countFiles(folderOf(window, FolderGesicht), "sp_gesicht_schwarz_augen_"), 0, 0, 1}));
        const long long black = faceCode(1, {0, 1, 2, 0, 0});
        QCOMPARE(picgesicht->property("tag").toLongLong(), black);
        QCOMPARE(window.findChild<QLabel*>(QStringLiteral("imggesicht_2"))->property("tag").toInt(), 2);
        // Only the save writes the code, with the skin and hair colours of the new face.
        QCOMPARE(scalar(window, "SELECT GESICHT" + where), code);
        QTest::mouseClick(window.findChild<QPushButton*>(QStringLiteral("btnspielerspeichern")), Qt::LeftButton);
        QCOMPARE(scalar(window, "SELECT GESICHT" + where), black);
        QCOMPARE(scalar(window, "SELECT HAUTFARBE" + where),
                 scalar(window, "SELECT Hautfarbe FROM e_gesichtsfarbe WHERE Haare=2 AND farbe=1"));

        // Cancel leaves the face as it is; the dialog is the one from before.
        mwtest::onNextModal([&](QWidget* dialog) {
            QCOMPARE(dialog, dialogSeen);
            QVERIFY(in<QRadioButton>(dialog, QStringLiteral("opthautfarbe_1"))->isChecked());
            QTest::mouseClick(in<QRadioButton>(dialog, QStringLiteral("opthautfarbe_0")), Qt::LeftButton);
            QTest::mouseClick(in<QPushButton>(dialog, QStringLiteral("btnabbrechen")), Qt::LeftButton);
        });
        QTest::mouseDClick(picgesicht, Qt::LeftButton);
        QCOMPARE(picgesicht->property("tag").toLongLong(), black);
        QVERIFY(MessageBox::shown().isEmpty());

        // The face check: the faces fit their pictures, then three codes past the last hair are
        // corrected.
        MessageBox::clearShown();
        action(window, "mnutoolsitem_1")->trigger();
        expectBox(QStringLiteral("Spielergesichter"), MessageBox::Information, QStringLiteral("Alle Gesichter in Ordnung!"));

        const long long tooMuchHair = faceCode(0, {1, 1, hairs + 3, 1, 1});
        window.dao().execute("UPDATE spieler SET GESICHT=" + std::to_string(tooMuchHair) + " WHERE NUMMER IN (1,2,3)");
        // The list shown keeps no old codes after the check.
        clickNode(window, firstClubKey(window));
        action(window, "mnutoolsitem_1")->trigger();
        expectBox(QStringLiteral("Spielergesichter"), MessageBox::Information, QStringLiteral("3 Gesichter korrigiert!"));
        QCOMPARE(scalar(window, "SELECT count(*) FROM spieler WHERE GESICHT=" + std::to_string(faceCode(0, {1, 1, hairs - 1, 1, 1}))), 3LL);
        expectIdle(window);
    }
};

QTEST_MAIN(TestGraphics)
#include "test_graphics.moc"
