// The three windows of the tools menu on a demo world: shirt numbers, club names and player
// pictures, opened through the menu, driven by their controls, with pictures of each.
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>
#include <filesystem>

#include "common/ui/messagebox.h"
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
using mwtest::scalar;
using mwtest::textOf;
using ui::MessageBox;

namespace {

template <typename T>
T* in(QWidget* dialog, const char* name) {
    return dialog->findChild<T*>(QString::fromLatin1(name));
}

QStringList items(QListWidget* list) {
    QStringList out;
    for (int i = 0; i < list->count(); ++i) out << list->item(i)->text();
    return out;
}
QStringList items(QComboBox* box) {
    QStringList out;
    for (int i = 0; i < box->count(); ++i) out << box->itemText(i);
    return out;
}

void click(QWidget* dialog, const char* button) { QTest::mouseClick(in<QPushButton>(dialog, button), Qt::LeftButton); }

void doubleClickRow(QListWidget* list, int row) {
    const QRect rect = list->visualItemRect(list->item(row));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, rect.center());
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, rect.center());
}

void clickRow(QListWidget* list, int row) {
    list->scrollToItem(list->item(row));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(row)).center());
}

// Opens a tools menu entry and runs `act` in the window; the window is closed afterwards
// whatever `act` found, so a failed check never leaves the test waiting.
void runTool(FrmMain& w, const char* item, const std::function<void(QWidget*)>& act) {
    bool ran = false;
    mwtest::onNextModal([&](QWidget* dialog) {
        ran = true;
        act(dialog);
        if (dialog->isVisible()) click(dialog, "btnabbrechen");
    });
    action(w, item)->trigger();
    QVERIFY(ran);
}

}  // namespace

class TestTools : public QObject {
    Q_OBJECT
private slots:
    void init() {
        MessageBox::setTestMode(true);
        MessageBox::clearShown();
    }

    void shirtNumbers() {
        ProgramFolder folder;
        FrmMain w(folder.path(), Registry(folder.prefix()));
        QVERIFY(mwtest::show(w));
        Dao& dao = w.dao();
        // A clean world (no small numbers), then three sevens in one club and two nines in a national team.
        dao.execute("UPDATE spieler SET RUECKENNUMMER = NUMMER + 1000");
        const long long club = scalar(w, "SELECT min(NUMMER) FROM vereine WHERE NUMMER > 0");
        const long long national = scalar(w, "SELECT min(NUMMER) FROM vereine_national");
        const std::string sevens = "SELECT spieler FROM vereinspieler WHERE verein = " + std::to_string(club);
        dao.execute("UPDATE spieler SET RUECKENNUMMER = 7 WHERE NUMMER IN (" + sevens + " ORDER BY spieler LIMIT 3)");
        dao.execute("UPDATE spieler SET RUECKENNUMMER = 9 WHERE NUMMER IN (SELECT spieler FROM vereinspieler WHERE verein = " +
                    std::to_string(national) + " LIMIT 2)");
        const QString clubName = QString::fromStdString(textOf(w, "SELECT NAME FROM vereine WHERE NUMMER = " + std::to_string(club)));
        const QString nationName =
            QString::fromStdString(textOf(w, "SELECT NAME FROM vereine_national WHERE NUMMER = " + std::to_string(national)));

        runTool(w, "mnutoolsitem_5", [&](QWidget* d) {
            QCOMPARE(d->objectName(), QStringLiteral("frmrueckennummer"));
            auto* clubs = in<QComboBox>(d, "cbovereine");
            auto* players = in<QListWidget>(d, "lstspieler");
            auto* field = in<QLineEdit>(d, "txtnrneu");
            click(d, "btnstart");
            QCOMPARE(items(clubs), (QStringList{nationName, clubName}));
            clubs->setCurrentIndex(1);
            QStringList marked;
            for (const QString& t : items(players))
                if (t.startsWith(QLatin1String("7 ")) || t.startsWith(QLatin1String("*7 "))) marked << t.section(QLatin1Char(' '), 0, 0);
            QCOMPARE(marked, (QStringList{"7", "*7", "*7"}));
            guisupport::screenshot(d, QStringLiteral("frmrueckennummer"));

            // Two fixes; after the second the club is clean and leaves the list.
            for (const char* number : {"70", "71"}) {
                const int row = items(players).indexOf(QRegularExpression(QStringLiteral("^\\*7 .*")));
                QVERIFY(row >= 0);
                doubleClickRow(players, row);
                QVERIFY(field->isEnabled());
                QVERIFY(!clubs->isEnabled() && !players->isEnabled());
                QCOMPARE(field->text(), QStringLiteral("7"));
                field->setText(QString::fromLatin1(number));
                click(d, "btnupdate");
                QVERIFY(clubs->isEnabled() && !field->isEnabled());
            }
            QCOMPARE(items(clubs), QStringList{nationName});
            QVERIFY(items(players).filter(QRegularExpression(QStringLiteral("^\\*"))).size() == 1);  // the nines
        });
        QCOMPARE(scalar(w, "SELECT count(*) FROM spieler WHERE RUECKENNUMMER IN (70, 71)"), 2LL);
        QCOMPARE(scalar(w, "SELECT count(*) FROM spieler WHERE RUECKENNUMMER = 7"), 1LL);
        QCOMPARE(MessageBox::shown().size(), 0);
    }

    void clubNames() {
        ProgramFolder folder;
        FrmMain w(folder.path(), Registry(folder.prefix()));
        QVERIFY(mwtest::show(w));
        Dao& dao = w.dao();
        dao.execute("UPDATE vereine SET NAME = \"Kurzname \" & NUMMER WHERE len(NAME) > 15");
        runTool(w, "mnutoolsitem_6", [&](QWidget* d) {
            QCOMPARE(d->objectName(), QStringLiteral("frmteamname"));
            click(d, "btnstart");
            QCOMPARE(MessageBox::shown().size(), 1);
            QCOMPARE(MessageBox::shown().first().title, QStringLiteral("Teamname"));
            QCOMPARE(MessageBox::shown().first().text, QStringLiteral("Keine Fehler vorhanden"));
        });

        const long long club = scalar(w, "SELECT min(NUMMER) FROM vereine WHERE NUMMER > 0");
        const std::string where = " WHERE NUMMER = " + std::to_string(club);
        dao.execute("UPDATE vereine SET NAME = \"Sportfreunde \"\"Blau\"\" Weiß\"" + where);
        dao.execute("UPDATE vereine SET NAME = \"Fünfzehnzeichen\" WHERE NUMMER = " + std::to_string(club + 1));
        runTool(w, "mnutoolsitem_6", [&](QWidget* d) {
            auto* list = in<QListWidget>(d, "lstvereine");
            auto* field = in<QLineEdit>(d, "txtteamneu");
            click(d, "btnstart");
            QCOMPARE(items(list), QStringList{QStringLiteral("Sportfreunde \"Blau\" Weiß")});
            clickRow(list, 0);
            QCOMPARE(field->text(), QStringLiteral("Sportfreunde \"Blau\" Weiß"));
            // The rule buttons propose (the three rules are unit-tested).
            in<QRadioButton>(d, "optname_2")->click();
            QCOMPARE(field->text(), QStringLiteral("Sportfreunde \"Blau\""));
            guisupport::screenshot(d, QStringLiteral("frmteamname"));
            field->clear();
            QVERIFY(!in<QPushButton>(d, "btnupdate")->isEnabled());
            // A name still too long is saved and stays listed under its new text.
            field->setText(QStringLiteral("Sportfreunde Blauweiß"));
            click(d, "btnupdate");
            QCOMPARE(items(list), QStringList{QStringLiteral("Sportfreunde Blauweiß")});
            field->setText(QStringLiteral("SF \"Blau\" Weiß"));
            click(d, "btnupdate");
            QCOMPARE(list->count(), 0);
            QCOMPARE(MessageBox::shown().size(), 2);  // the re-run finds nothing left
        });
        QCOMPARE(textOf(w, "SELECT NAME FROM vereine" + where), std::string("SF \"Blau\" Weiß"));
        // The tree shows the new name.
        QCOMPARE(w.node(QStringLiteral("T%1").arg(club))->text(0), QStringLiteral("SF \"Blau\" Weiß"));
    }

    void playerPictures() {
        ProgramFolder folder;
        FrmMain w(folder.path(), Registry(folder.prefix()));
        QVERIFY(mwtest::show(w));
        Dao& dao = w.dao();
        const fs::path pics = w.settings().folders[FolderKickoraspieler];
        fs::create_directories(pics);
        dao.execute("UPDATE spieler SET NAME = \"Ölmann\", VORNAME = \"T.\" WHERE NUMMER = 11");
        dao.execute("UPDATE spieler SET NAME = \"Zwilling\" WHERE NUMMER IN (12, 13)");
        for (const char* file : {"ölmann_Tom.JPG", "Zwilling.jpg", "Niemand.jpg", "99.jpg"}) writeFile(pics / file, file);

        runTool(w, "mnutoolsitem_0", [&](QWidget* d) {
            QCOMPARE(d->objectName(), QStringLiteral("frmspielerbild"));
            auto* files = in<QListWidget>(d, "Filbild");
            auto* choice = in<QListWidget>(d, "lstnamen");
            QCOMPARE(items(files), (QStringList{"Niemand.jpg", "ölmann_Tom.JPG", "Zwilling.jpg"}));
            click(d, "btnstart");
            // The walk starts at the last file, which several players fit: it waits.
            QTRY_COMPARE(choice->count(), 2);
            QCOMPARE(in<QLabel>(d, "Label1")->text(), QStringLiteral("Zwilling.jpg"));
            QVERIFY(!in<QPushButton>(d, "btnstart")->isEnabled());
            QVERIFY(choice->item(0)->text().startsWith(QLatin1String("Zwilling ")));
            guisupport::screenshot(d, QStringLiteral("frmspielerbild_choice"));
            const long long chosen = choice->item(1)->data(Qt::UserRole).toLongLong();
            clickRow(choice, 1);
            QTRY_VERIFY(in<QPushButton>(d, "btnstart")->isEnabled());
            QCOMPARE(items(files), QStringList{"Niemand.jpg"});
            QCOMPARE(readFile(pics / (std::to_string(chosen) + ".jpg")), std::string("Zwilling.jpg"));
        });
        // The rest of the walk ran without asking (which files fit whom is unit-tested).
        QCOMPARE(readFile(pics / "11.jpg"), std::string("ölmann_Tom.JPG"));

        // Closing the window while it waits ends the walk; the file keeps its name.
        writeFile(pics / "Zwilling.jpg", "neu");
        runTool(w, "mnutoolsitem_0", [&](QWidget* d) {
            click(d, "btnstart");
            QTRY_COMPARE(in<QListWidget>(d, "lstnamen")->count(), 2);
        });
        QTest::qWait(50);
        QCOMPARE(readFile(pics / "Zwilling.jpg"), std::string("neu"));

        // A missing folder: a message instead of the window.
        fs::remove_all(pics);
        action(w, "mnutoolsitem_0")->trigger();
        QCOMPARE(MessageBox::shown().size(), 1);
        QVERIFY(MessageBox::shown().first().text.contains(QLatin1String("gibt es nicht")));
    }
};

QTEST_MAIN(TestTools)
#include "test_tools.moc"
