// zexporter's main window on the demo source: start, tree, counters, node clicks with the export
// menu they set, tab strip, pages, info box and the end without a source.
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpression>
#include <QListWidget>
#include <QTabBar>
#include <QtTest>
#include <algorithm>
#include <fstream>
#include <map>

#include "common/jetdb.h"
#include "common/ui/filedialog.h"
#include "common/ui/messagebox.h"
#include "exporter/frmhaupt.h"
#include "exporter/zdecode.h"
#include "exporter/zsource.h"
#include "guisupport.h"
#include "test_zexporter_support.h"

namespace fs = std::filesystem;
using guisupport::child;
using zexp::Id;

namespace {

QString qs(const std::string& s) { return QString::fromStdString(s); }

struct Entry {
    QString caption;
    bool enabled;
    QString tag;
    bool operator==(const Entry&) const = default;
};

}  // namespace

class TestZexporterBrowser : public QObject {
    Q_OBJECT

    std::unique_ptr<zgui::SourceFolder> folder_;
    std::unique_ptr<FrmHaupt> w_;

    QTreeWidget* tree() { return child<QTreeWidget>(w_.get(), "tvdb"); }
    QWidget* frame(int i) { return child<QWidget>(w_.get(), i == 1 ? "Frame1" : "Frame2"); }
    QString text(const char* name) { return child<QLineEdit>(w_.get(), name)->text(); }
    QAction* action(int i) {
        return w_->findChild<QAction*>(QStringLiteral("mnuimpexportitem_%1").arg(i));
    }
    Entry entry(int i) {
        QAction* a = action(i);
        return {zgui::shown(a), a->isEnabled(), a->data().toString()};
    }
    const zexp::Source& src() { return *w_->source(); }

    QTreeWidgetItem* click(const std::string& key) { return zgui::click(tree(), key); }
    // Which of the two pages (club, player) shows.
    void pages(bool club, bool players) {
        QCOMPARE(frame(1)->isVisible(), club);
        QCOMPARE(frame(2)->isVisible(), players);
    }
    QTreeWidgetItem* clickTeam(Id nr) { return click("T" + std::to_string(nr)); }
    void tab(int i) {
        auto* bar = child<QTabBar>(w_.get(), "TabStrip1");
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(i).center());
        QCOMPARE(bar->currentIndex(), i);
    }

    const zexp::Club* clubWhere(auto pred) {
        for (const zexp::Club& c : src().clubs())
            if (pred(c)) return &c;
        return nullptr;
    }

    void startWindow() {
        w_ = std::make_unique<FrmHaupt>(folder_->path());
        QVERIFY(w_->loadDB());
        w_->show();
        QVERIFY(QTest::qWaitForWindowExposed(w_.get()));
    }

private slots:
    void initTestCase() {
        ui::MessageBox::setTestMode(true);
        ui::FileDialog::setTestMode(true);
        folder_ = std::make_unique<zgui::SourceFolder>();
    }
    void init() {
        ui::MessageBox::clearShown();
        startWindow();
    }
    void cleanup() { w_.reset(); }

    void startShowsCaptionMenuCountersAndTree() {
        guisupport::screenshot(w_.get(), QStringLiteral("zexporter_start"));
        QCOMPARE(w_->windowTitle(), QStringLiteral("Zentor Exporter v0.25"));
        QCOMPARE(w_->size(), QSize(640, 480));
        QVERIFY(ui::MessageBox::shown().isEmpty());
        // The export menu before any click.
        const Entry expected[] = {{QStringLiteral("Export Verein"), false, {}},
                                  {QStringLiteral("Export Land"), false, {}},
                                  {QStringLiteral("Export Liga"), false, {}},
                                  {QStringLiteral("alle Vereine exportieren"), true, {}}};
        for (int i = 0; i < 4; ++i) QVERIFY2(entry(i) == expected[i] && action(i)->isVisible(), qPrintable(entry(i).caption));
        QVERIFY(!action(4)->isVisible());
        QCOMPARE(child<QAction>(w_.get(), "MnuDateiItem")->text(), QStringLiteral("Ende"));
        QCOMPARE(child<QAction>(w_.get(), "mnuinfoitem")->text(), QStringLiteral("&Info"));

        // Counters against the source file itself.
        jet::Database db = jet::Database::open(folder_->path() / "zentor4.mdb", false, true);
        const struct { const char *label, *caption, *sql; } counters[] = {
            {"Label1", "Nationalteams:", "SELECT count(*) FROM land"},
            {"Label2", "Vereine:", "SELECT count(*) FROM verein"},
            {"Label3", "Spieler:", "SELECT count(*) FROM spieler"},
            {"Label33", "Amateurvereine:", "SELECT count(*) FROM verein WHERE AMATEURTEAM<>0"}};
        for (const auto& c : counters)
            QCOMPARE(child<QLabel>(w_.get(), c.label)->text(),
                     QString::fromUtf8(c.caption) + QString::number(db.query(c.sql).field(0).toInt()));

        // Root and continents.
        QTreeWidget* t = tree();
        QCOMPARE(t->topLevelItemCount(), 1);
        QTreeWidgetItem* root = t->topLevelItem(0);
        QCOMPARE(zgui::keyOf(root) + root->text(0), QStringLiteral("ZentorZentor"));
        QVERIFY(root->isExpanded());
        const QStringList continents = QStringLiteral("Europa,Afrika,Asien,Südamerika,Mittel-Nordamerika,Ozeanien").split(',');
        QCOMPARE(root->childCount(), 6);
        for (int i = 0; i < 6; ++i)
            QCOMPARE(zgui::keyOf(root->child(i)) + ' ' + root->child(i)->text(0), QStringLiteral("K%1 ").arg(i + 1) + continents[i]);

        // Below them the widget tree mirrors the source's tree, whose rules (no-league group
        // first, leagues by number, first teams before amateurs) are checked on the source itself:
        // every node with its text under its parent, siblings in the source's order.
        std::map<std::string, QStringList> children;
        for (const zexp::TreeNode& n : src().tree()) {
            QTreeWidgetItem* item = zgui::node(t, n.key);
            QVERIFY2(item, n.key.c_str());
            QCOMPARE(item->text(0), qs(n.text));
            QCOMPARE(item->parent() ? zgui::keyOf(item->parent()) : QString(), qs(n.parentKey));
            if (!n.parentKey.empty()) children[n.parentKey] << qs(n.key);
        }
        for (const auto& [parent, keys] : children) {
            QTreeWidgetItem* item = zgui::node(t, parent);
            QStringList shown;
            for (int i = 0; i < item->childCount(); ++i) shown << zgui::keyOf(item->child(i));
            QCOMPARE(shown, keys);
        }

        // One picture per node kind; first and amateur teams apart.
        const zexp::Club* withAmateur = clubWhere([](const zexp::Club& c) { return c.firstTeam > 0 && c.amateurTeam > 0; });
        QVERIFY(withAmateur);
        const zexp::League& league = src().leagues().front();
        const std::string keys[] = {"Zentor", "K1", "L" + std::to_string(league.country),
                                    "P0L" + std::to_string(league.country),
                                    "P" + std::to_string(league.id) + "L" + std::to_string(league.country),
                                    "T" + std::to_string(withAmateur->firstTeam),
                                    "T" + std::to_string(withAmateur->amateurTeam)};
        std::vector<QImage> pictures;
        for (const std::string& k : keys) {
            QTreeWidgetItem* item = zgui::node(t, k);
            QVERIFY2(item, k.c_str());
            QVERIFY(!item->icon(0).isNull());
            pictures.push_back(item->icon(0).pixmap(16, 16).toImage());
        }
        for (std::size_t a = 0; a < pictures.size(); ++a)
            for (std::size_t b = a + 1; b < pictures.size(); ++b) QVERIFY2(pictures[a] != pictures[b], keys[b].c_str());
    }

    // A first team in a league: the club page with the menu it sets, then the player page, where
    // another team keeps the country and league entries and drops entry 0's name.
    void nodeClickFirstTeam() {
        const zexp::Club* c = clubWhere([&](const zexp::Club& c) {
            const zexp::Team* t = c.firstTeam > 0 ? src().team(c.firstTeam) : nullptr;
            return t && t->league != 0 && src().stadium(c.stadium) && !src().teamPlayers(c.firstTeam).empty();
        });
        QVERIFY(c);
        QTreeWidgetItem* item = clickTeam(c->firstTeam);
        QVERIFY(item);
        QTreeWidgetItem* league = item->parent();
        QTreeWidgetItem* country = league->parent();
        guisupport::screenshot(w_.get(), QStringLiteral("zexporter_team"));
        pages(true, false);
        QVERIFY(entry(0) == Entry({QStringLiteral("Verein exportieren (%1)").arg(item->text(0)), true, {}}));
        QVERIFY(entry(1) == Entry({QStringLiteral("Land exportieren (%1)").arg(country->text(0)), true, zgui::keyOf(country)}));
        QVERIFY(entry(2) == Entry({QStringLiteral("Liga expoertieren (%1)").arg(league->text(0)), true, zgui::keyOf(league)}));

        const zexp::Capacity cap = *src().stadiumCapacity(c->stadium);
        const QStringList fields = {text("txtteamlang"), text("txtteamkurz"), text("txtstadt"), text("txtland"),
                                    text("txtstadion"), text("txtsitzsteh_0"), text("txtsitzsteh_1")};
        QCOMPARE(fields, QStringList({qs(c->name), qs(c->kurzform), qs(c->city), country->text(0),
                                      qs(src().stadium(c->stadium)->name), QString::number(cap.seated),
                                      QString::number(cap.standing)}));
        for (int i = 0; i < 12; ++i) {
            const zexp::Rgb rgb = zexp::colourTriple(c->colours[i]);
            const QString name = QString::fromLatin1(i < 6 ? "shpheim_%1" : "shpausw_%1").arg(i % 6);
            QCOMPARE(w_->findChild<QFrame*>(name)->palette().color(QPalette::Window), QColor(rgb.r, rgb.g, rgb.b));
        }
        // The player list holds the team's list with the position word.
        auto* list = child<QListWidget>(w_.get(), "lstspieler");
        const std::vector<Id> listed = zexp::parsePlayerList(src().team(c->firstTeam)->playerList);
        QVERIFY(list->count() > 0);
        for (int i = 0; i < list->count(); ++i) {
            QVERIFY(std::count(listed.begin(), listed.end(), list->item(i)->data(Qt::UserRole).toLongLong()) == 1);
            QVERIFY(list->item(i)->text().contains(QRegularExpression(QStringLiteral(" \\((Tor|Abwehr|Mittelfeld|Sturm)\\)$"))));
        }

        const Entry country1 = entry(1), league2 = entry(2);
        tab(1);
        pages(false, true);
        const zexp::Club* other = clubWhere([&](const zexp::Club& o) {
            const zexp::Team* t = o.firstTeam > 0 ? src().team(o.firstTeam) : nullptr;
            return &o != c && t && t->country == o.country && o.country != c->country;
        });
        QVERIFY(other);
        clickTeam(other->firstTeam);
        pages(false, true);
        QVERIFY(entry(0) == Entry({QStringLiteral("Verein exportieren"), true, {}}));
        QVERIFY(entry(1) == country1);
        QVERIFY(entry(2) == league2);
        QCOMPARE(text("txtteamlang"), qs(other->name));
    }

    // The player page of a listed player; a stage name stands for the name with "." as first name.
    void playerPage() {
        const zexp::Player* staged = nullptr;
        Id team = 0;
        for (const zexp::Club& c : src().clubs())
            if (c.firstTeam > 0 && src().team(c.firstTeam) && !staged)
                for (const zexp::Player* p : src().teamPlayers(c.firstTeam))
                    if (!staged && !p->stageName.empty() && p->position && *p->position >= 0 && *p->position <= 3)
                        staged = p, team = c.firstTeam;
        QVERIFY(staged);
        clickTeam(team);
        tab(1);
        auto* list = child<QListWidget>(w_.get(), "lstspieler");
        int row = -1;
        for (int i = 0; i < list->count(); ++i)
            if (list->item(i)->data(Qt::UserRole).toLongLong() == staged->id) row = i;
        QVERIFY(row >= 0);
        list->scrollToItem(list->item(row));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(row)).center());
        guisupport::screenshot(w_.get(), QStringLiteral("zexporter_player"));
        const QStringList fields = {text("txtspielernr"), text("txtspielername"), text("txtspielervorname"),
                                    text("txtspielerland")};
        QCOMPARE(fields, QStringList({QString::number(staged->id), qs(staged->stageName), QStringLiteral("."),
                                      qs(*staged->countryName)}));
        QCOMPARE(child<QComboBox>(w_.get(), "cbospielerpos")->currentIndex(), static_cast<int>(*staged->position));
        QVERIFY(child<QComboBox>(w_.get(), "cbospielerst")->currentText().endsWith(QStringLiteral(" Sterne")));

        // Another team empties the player fields with its new list.
        const zexp::Club* other = clubWhere([&](const zexp::Club& c) { return c.firstTeam > 0 && c.firstTeam != team; });
        clickTeam(other->firstTeam);
        QVERIFY(text("txtspielernr").isEmpty());
        QCOMPARE(child<QComboBox>(w_.get(), "cbospielerpos")->currentIndex(), -1);
    }

    // Amateur team and country fill the club page with what belongs to them.
    void amateurTeamAndCountryPages() {
        const zexp::Club* c = clubWhere([&](const zexp::Club& c) { return c.amateurTeam > 0 && src().team(c.amateurTeam); });
        QVERIFY(c);
        QCOMPARE(clickTeam(c->amateurTeam)->text(0), qs(c->name) + QStringLiteral(" II"));
        QCOMPARE(entry(0).caption, QStringLiteral("Verein exportieren (%1 II)").arg(qs(c->name)));
        QCOMPARE(QStringList({text("txtteamlang"), text("txtteamkurz"), text("txtstadion")}),
                 QStringList({qs(c->name) + '2', qs(c->kurzform) + '2', qs(c->amateurStadium)}));

        const zexp::Country& land = src().countries().front();
        const QString name = qs(land.name);
        click("L" + std::to_string(land.id));
        guisupport::screenshot(w_.get(), QStringLiteral("zexporter_country"));
        pages(true, false);
        QVERIFY(entry(0) == Entry({QStringLiteral("Nationalteam exportieren (%1)").arg(name), true, {}}));
        QVERIFY(entry(1) == Entry({QStringLiteral("Land exportieren (%1)").arg(name), true, QStringLiteral("L%1").arg(land.id)}));
        QVERIFY(entry(2).caption == QStringLiteral("Liga exportieren") && !entry(2).enabled);
        QCOMPARE(QStringList({text("txtteamlang"), text("txtland"), text("txtstadt"), text("txtstadion"),
                              text("txtsitzsteh_0"), text("txtsitzsteh_1")}),
                 QStringList({name, name, QStringLiteral("Hauptstadt"), QStringLiteral("Nationalstadion"),
                              QStringLiteral("40000"), QStringLiteral("20000")}));
        tab(1);
        auto* list = child<QListWidget>(w_.get(), "lstspieler");
        QVERIFY(list->count() > 0);
        const auto players = src().countryPlayers(land.id);
        for (int i = 0; i < list->count(); ++i) {
            const Id id = list->item(i)->data(Qt::UserRole).toLongLong();
            QVERIFY(std::any_of(players.begin(), players.end(), [&](const zexp::Player* p) { return p->id == id; }));
        }
    }

    // Nodes without a page, clicked on either tab after a team: leagues offer the league export,
    // continent, root and a team with a negative number nothing; entry 0 is off either way.
    void nodesWithoutAPage() {
        const zexp::Club* c = clubWhere([&](const zexp::Club& c) { return c.firstTeam > 0 && src().team(c.firstTeam); });
        const zexp::Club* neg = clubWhere([](const zexp::Club& c) { return c.firstTeam < 0; });
        QVERIFY(c && neg);
        const zexp::League& l = src().leagues().front();
        const std::string land = "L" + std::to_string(l.country);
        const struct { std::string key; bool export_; } cases[] = {
            {"P" + std::to_string(l.id) + land, true}, {"P0" + land, true}, {"K3", false}, {"Zentor", false},
            {"T" + std::to_string(neg->firstTeam), false}};
        for (const auto& k : cases) {
            for (int t : {0, 1}) {
                tab(0);
                clickTeam(c->firstTeam);
                const Entry before2 = entry(2);
                tab(t);
                QTreeWidgetItem* item = click(k.key);
                QVERIFY2(item, k.key.c_str());
                pages(false, false);
                QVERIFY(!entry(0).enabled);
                QVERIFY(entry(3).enabled);
                const Entry league = k.export_ ? Entry{QStringLiteral("Liga expoertieren (%1)").arg(item->text(0)), true, qs(k.key)}
                                               : Entry{QStringLiteral("Liga exportieren"), false, before2.tag};
                QVERIFY2(entry(2) == league, k.key.c_str());
                QCOMPARE(entry(1).enabled, k.export_);
                // The tab strip shows no page for such a node.
                tab(1 - t);
                pages(false, false);
            }
        }
        QCOMPARE(zgui::node(tree(), "T" + std::to_string(neg->firstTeam))->text(0), qs(neg->name));
    }

    void infoBoxAndEnd() {
        child<QAction>(w_.get(), "mnuinfoitem")->trigger();
        QCOMPARE(ui::MessageBox::shown().size(), 1);
        const auto& box = ui::MessageBox::shown().first();
        QCOMPARE(box.icon, ui::MessageBox::Information);
        QCOMPARE(box.title, QStringLiteral("Info"));
        QVERIFY(box.text.startsWith(QStringLiteral("Zentor Exporter v0.25\n")) && box.text.size() > 30);

        child<QAction>(w_.get(), "MnuDateiItem")->trigger();
        QVERIFY(!w_->isVisible());
    }

    // Without zentor4.mdb the open dialog asks: a chosen database under any name is read; no
    // choice, or a chosen file that is no database, ends the program with the message.
    void databaseChosenInTheDialog() {
        zgui::SourceFolder empty(false);
        const fs::path garbage = empty.path() / "kaputt.mdb", good = empty.path() / "spiel.dat";
        {
            std::ofstream out(garbage, std::ios::binary);
            for (int i = 0; i < 4096; ++i) out.put(static_cast<char>((i * 31) % 253));
        }
        fs::copy_file(folder_->path() / "zentor4.mdb", good);
        for (const fs::path& chosen : {good, fs::path(), garbage}) {
            FrmHaupt window(empty.path());
            ui::MessageBox::clearShown();
            ui::FileDialog::setNextFileName(QString::fromStdString(chosen.string()));
            const bool loaded = window.loadDB();
            if (chosen == good) {
                QVERIFY(loaded && ui::MessageBox::shown().isEmpty());
                QCOMPARE(child<QLabel>(&window, "Label2")->text(), child<QLabel>(w_.get(), "Label2")->text());
                QVERIFY(zgui::node(child<QTreeWidget>(&window, "tvdb"), std::string("K6")));
                continue;
            }
            QVERIFY(!loaded);
            QVERIFY(!window.source());
            QCOMPARE(ui::MessageBox::shown().size(), 1);
            const auto& box = ui::MessageBox::shown().first();
            if (chosen.empty()) {
                QCOMPARE(box.icon, ui::MessageBox::Information);
                QCOMPARE(box.title + '|' + box.text, QStringLiteral("Information|Keine Datenbank ausgewählt Programm wird beendet!"));
            } else {
                QCOMPARE(box.icon, ui::MessageBox::Critical);
                QVERIFY(box.text.endsWith(QStringLiteral("Programm wird beendet!")));
            }
        }
    }
};

QTEST_MAIN(TestZexporterBrowser)
#include "test_zexporter_browser.moc"
