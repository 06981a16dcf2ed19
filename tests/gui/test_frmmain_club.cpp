// The club editor in the main window: saving clubs and national teams, the rename cascade,
// bad number fields, and new countries and clubs through the new-entry dialog.
#include <QComboBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QTreeWidget>
#include <QtTest>

#include "common/ui/messagebox.h"
#include "foundation/registry.h"
#include "guisupport.h"
#include "mainwindow/frmmain.h"
#include "mainwindow/frmpicklists.h"
#include "mainwindow_support.h"

using guisupport::ProgramFolder;
using mwtest::clickNode;
using mwtest::scalar;
using mwtest::text;
using mwtest::textOf;
using mwtest::type;

namespace {

QString clubKey(FrmMain& w, const char* nation) {
    return QStringLiteral("T%1").arg(scalar(w, std::string("SELECT min(NUMMER) FROM vereine WHERE NATION=\"") + nation + "\""));
}

void chooseCountry(FrmMain& w, const QString& country) {
    auto* cboland = w.findChild<QComboBox*>(QStringLiteral("cboland"));
    const int index = cboland->findText(country);
    QVERIFY(index >= 0);
    cboland->setCurrentIndex(index);
}

// Several columns of one row, joined by "|".
std::string values(FrmMain& w, std::initializer_list<const char*> columns, const std::string& from) {
    std::string out;
    for (const char* c : columns) out += (out.empty() ? "" : "|") + textOf(w, std::string("SELECT ") + c + from);
    return out;
}

void save(FrmMain& w) { QTest::mouseClick(w.findChild<QPushButton*>(QStringLiteral("btnteamsave")), Qt::LeftButton); }

// Answers the new-entry dialog: option, list entry, OK. Records whether OK waited for the choice.
struct NewDialog {
    int option;
    QString entry;
    bool okWaited = false;
    bool cancel = false;
    void operator()(QWidget* dialog) {
        dialog->findChild<QRadioButton*>(QStringLiteral("optnew_%1").arg(option))->click();
        auto* list = dialog->findChild<QComboBox*>(option == 0 ? QStringLiteral("cbokontinent") : QStringLiteral("cboland"));
        auto* ok = dialog->findChild<QPushButton*>(QStringLiteral("cmdok"));
        list->setCurrentIndex(-1);
        okWaited = !ok->isEnabled();
        list->setCurrentIndex(list->findText(entry));
        guisupport::screenshot(dialog, QStringLiteral("frmnew_option_%1").arg(option));
        if (cancel) dialog->findChild<QPushButton*>(QStringLiteral("cmdcancel"))->click();
        else QTest::mouseClick(ok, Qt::LeftButton);
    }
};

}  // namespace

class TestFrmMainClub : public QObject {
    Q_OBJECT
private slots:
    void init() {
        ui::MessageBox::setTestMode(true);
        ui::MessageBox::clearShown();
    }

    void savingAClubThenNewCountryAndClubThroughTheDialog() {
        ProgramFolder folder;
        FrmMain window(folder.path(), Registry(folder.prefix()));
        QVERIFY(mwtest::show(window));
        const QString key = clubKey(window, "Deutschland");
        const std::string where = " FROM vereine WHERE NUMMER=" + key.mid(1).toStdString();
        const long long players = scalar(window, "SELECT count(*) FROM spieler");
        clickNode(window, key);

        const std::pair<const char*, const char*> typed[] = {
            {"txtteamlang", "FC \"Süd\" d'Arc"}, {"txtteamkurz", "Süd"}, {"txtstadt", "Neustadt"}, {"txtstadion", "Arena am See"},
            {"txtsitz", "12345"}, {"txtsteh", "678"}, {"txtgrafnr", "77"}};
        for (const auto& [field, value] : typed) type(window, field, QString::fromUtf8(value));
        chooseCountry(window, QStringLiteral("Polen"));
        save(window);

        QVERIFY(ui::MessageBox::shown().isEmpty());
        QCOMPARE(values(window, {"NAME", "KURZNAME", "STADT", "STADION_NAME", "NATION", "STADION_SITZPL", "STADION_STEHPL",
                                 "GRAFIK_NR", "AUSWEICH_TW_TRIKOT_ART"}, where),
                 std::string("FC \"Süd\" d'Arc|Süd|Neustadt|Arena am See|Polen|12345|678|77|0"));
        QCOMPARE(scalar(window, "SELECT count(*) FROM spieler"), players);

        // The tree is rebuilt: the club sits under its new country, selected, and shown again.
        QTreeWidgetItem* item = window.node(key);
        QVERIFY(item);
        QCOMPARE(item->text(0), QStringLiteral("FC \"Süd\" d'Arc"));
        QCOMPARE(item->parent()->text(0), QStringLiteral("Polen"));
        QCOMPARE(window.findChild<QTreeWidget*>(QStringLiteral("tvdb"))->currentItem(), item);
        QCOMPARE(window.treeTag(), key);
        QCOMPARE(text(window, "txtteamlang"), QStringLiteral("FC \"Süd\" d'Arc"));
        QCOMPARE(window.findChild<QComboBox*>(QStringLiteral("cboland"))->currentText(), QStringLiteral("Polen"));
        guisupport::screenshot(&window, QStringLiteral("frmmain_club_saved"));

        // Saving again unchanged keeps the country (the list refill must not lose it).
        save(window);
        QCOMPARE(textOf(window, "SELECT NATION" + where), std::string("Polen"));

        // On the same world: a new country and a new club through the new-entry dialog.
        const long long next = scalar(window, "SELECT max(maxnr) FROM maxteamnr") + 1;

        // Cancel leaves no trace.
        NewDialog cancelled{0, QStringLiteral("Atlantis")};
        cancelled.cancel = true;
        mwtest::onNextModal(std::ref(cancelled));
        mwtest::action(window, "mnudateiitem_0")->trigger();
        QVERIFY(!window.node(QStringLiteral("L%1_").arg(next)));

        // A new country under its continent, shown as a placeholder.
        NewDialog country{0, QStringLiteral("Atlantis")};
        mwtest::onNextModal(std::ref(country));
        mwtest::action(window, "mnudateiitem_0")->trigger();
        QVERIFY(country.okWaited);
        const QString countryKey = QStringLiteral("L%1_").arg(next);
        QTreeWidgetItem* countryNode = window.node(countryKey);
        QVERIFY(countryNode);
        QCOMPARE(countryNode->text(0), QStringLiteral("Land%1").arg(next));
        QCOMPARE(countryNode->parent()->text(0), QStringLiteral("Atlantis"));
        QCOMPARE(text(window, "txtteamlang"), QStringLiteral("Land%1").arg(next));
        QCOMPARE(window.findChild<QComboBox*>(QStringLiteral("cbokontinent"))->currentText(), QStringLiteral("Atlantis"));
        QVERIFY(!window.findChild<QComboBox*>(QStringLiteral("cboland"))->isEnabled());
        QCOMPARE(scalar(window, "SELECT count(*) FROM vereine_national WHERE NUMMER=" + std::to_string(next)), 0LL);

        // A second unsaved entry gets the next number, not the same one.
        NewDialog club{1, QStringLiteral("Polen")};
        mwtest::onNextModal(std::ref(club));
        mwtest::action(window, "tb_new")->trigger();
        QVERIFY(club.okWaited);
        const QString clubKeyNew = QStringLiteral("T%1_").arg(next + 1);
        QTreeWidgetItem* clubNode = window.node(clubKeyNew);
        QVERIFY(clubNode);
        QCOMPARE(clubNode->parent()->text(0), QStringLiteral("Polen"));
        QCOMPARE(text(window, "txtteamlang"), QStringLiteral("Team%1").arg(next + 1));
        QCOMPARE(window.findChild<QComboBox*>(QStringLiteral("cboland"))->currentText(), QStringLiteral("Polen"));

        // First save of the club: its row, its 20 players, the key without "_".
        type(window, "txtteamlang", QStringLiteral("Neuer FC"));
        save(window);
        QVERIFY(ui::MessageBox::shown().isEmpty());
        const std::string clubNumber = std::to_string(next + 1);
        QCOMPARE(values(window, {"NAME", "NATION"}, " FROM vereine WHERE NUMMER=" + clubNumber), std::string("Neuer FC|Polen"));
        QCOMPARE(scalar(window, "SELECT count(*) FROM spielerinvereine WHERE verein=" + clubNumber + " AND NATION=\"Polen\""), 20LL);
        QVERIFY(!window.node(clubKeyNew));
        QVERIFY(window.node(QStringLiteral("T%1").arg(next + 1)));
        QCOMPARE(window.treeTag(), QStringLiteral("T%1").arg(next + 1));
        auto* grid = window.findChild<QTableWidget*>(QStringLiteral("flxgrdspieler"));
        QVERIFY(grid);
        QCOMPARE(grid->rowCount(), 20);
        QVERIFY(mwtest::edit(window, "txttnr")->isReadOnly());

        // The rebuild dropped the unsaved country; a new one takes the next free number, and a
        // team number typed over with one in use is refused.
        QVERIFY(!window.node(countryKey));
        NewDialog again{0, QStringLiteral("Ozeanien")};
        mwtest::onNextModal(std::ref(again));
        mwtest::action(window, "mnudateiitem_0")->trigger();
        const QString againKey = QStringLiteral("L%1_").arg(next + 2);
        QVERIFY(window.node(againKey));
        QVERIFY(!mwtest::edit(window, "txttnr")->isReadOnly());
        type(window, "txttnr", QString::fromStdString(clubNumber));
        save(window);
        QCOMPARE(ui::MessageBox::shown().size(), 1);
        QVERIFY(ui::MessageBox::shown().first().text.contains(QString::fromStdString(clubNumber)));
        QCOMPARE(textOf(window, "SELECT NAME FROM vereine WHERE NUMMER=" + clubNumber), std::string("Neuer FC"));

        type(window, "txttnr", QString::number(next + 2));
        type(window, "txtteamlang", QStringLiteral("Südseeland"));
        save(window);
        QCOMPARE(ui::MessageBox::shown().size(), 1);
        const std::string countryNumber = std::to_string(next + 2);
        QCOMPARE(values(window, {"NAME", "KONTINENT", "NATION"}, " FROM vereine_national WHERE NUMMER=" + countryNumber),
                 std::string("Südseeland|Ozeanien|Südseeland"));
        QCOMPARE(window.node(QStringLiteral("L%1").arg(next + 2))->parent()->text(0), QStringLiteral("Ozeanien"));
        QVERIFY(window.pickLists().countries().contains(QStringLiteral("Südseeland")));
    }

    void badNumberFieldsThenNationalTeamRenameCascade() {
        ProgramFolder folder;
        FrmMain window(folder.path(), Registry(folder.prefix()));
        QVERIFY(mwtest::show(window));
        const QString key = clubKey(window, "Spanien");
        const std::string where = " FROM vereine WHERE NUMMER=" + key.mid(1).toStdString();
        const std::string name = textOf(window, "SELECT NAME" + where);
        const long long seats = scalar(window, "SELECT STADION_SITZPL" + where);
        clickNode(window, key);

        // A bad number names its field and nothing is written (every field's check is unit-tested).
        type(window, "txtteamlang", QStringLiteral("Nicht gespeichert"));
        type(window, "txtsitz", QStringLiteral("12a"));
        save(window);
        QCOMPARE(ui::MessageBox::shown().size(), 1);
        QCOMPARE(ui::MessageBox::shown().first().icon, ui::MessageBox::Warning);
        QVERIFY2(ui::MessageBox::shown().first().text.contains(QStringLiteral("Sitzplätze")), qPrintable(ui::MessageBox::shown().first().text));
        QCOMPARE(textOf(window, "SELECT NAME" + where), name);
        QCOMPARE(scalar(window, "SELECT STADION_SITZPL" + where), seats);
        QCOMPARE(window.node(key)->text(0).toStdString(), name);
        // The team number of a saved club cannot be typed over.
        QVERIFY(mwtest::edit(window, "txttnr")->isReadOnly());

        // Renaming a national team renames its clubs' and players' nation, and no other.
        ui::MessageBox::clearShown();
        const long long clubs = scalar(window, "SELECT count(*) FROM vereine WHERE NATION=\"Deutschland\"");
        const long long people = scalar(window, "SELECT count(*) FROM spieler WHERE NATION=\"Deutschland\"");
        QVERIFY(clubs > 0 && people > 0);
        clickNode(window, QStringLiteral("L1"));
        type(window, "txtteamlang", QStringLiteral("Germania"));
        window.findChild<QComboBox*>(QStringLiteral("cbokontinent"))->setCurrentText(QStringLiteral("Atlantis"));
        save(window);

        QCOMPARE(values(window, {"NAME", "NATION", "KONTINENT"}, " FROM vereine_national WHERE NUMMER=1"),
                 std::string("Germania|Germania|Atlantis"));
        QCOMPARE(scalar(window, "SELECT count(*) FROM vereine WHERE NATION=\"Germania\""), clubs);
        QCOMPARE(scalar(window, "SELECT count(*) FROM spieler WHERE NATION=\"Germania\""), people);
        QCOMPARE(scalar(window, "SELECT count(*) FROM spieler WHERE NATION=\"Deutschland\""), 0LL);

        QTreeWidgetItem* country = window.node(QStringLiteral("L1"));
        QCOMPARE(country->text(0), QStringLiteral("Germania"));
        QCOMPARE(country->parent()->text(0), QStringLiteral("Atlantis"));
        QCOMPARE(static_cast<long long>(country->childCount()), clubs);
        QVERIFY(window.pickLists().countries().contains(QStringLiteral("Germania")) &&
                !window.pickLists().countries().contains(QStringLiteral("Deutschland")));
        guisupport::screenshot(&window, QStringLiteral("frmmain_club_national_renamed"));
    }

};

QTEST_MAIN(TestFrmMainClub)
#include "test_frmmain_club.moc"
