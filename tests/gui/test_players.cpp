// The player half of the main window on a demo world: list, editor, save, talent grid.
// The area's two widgets sit in a window of the test's own, with a real database behind.
#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableWidget>
#include <QVBoxLayout>
#include <QtTest>
#include <memory>

#include "common/progress.h"
#include "foundation/dao.h"
#include "foundation/settings.h"
#include "guisupport.h"
#include "mainwindow/frmmain_players.h"
#include "mainwindow_support.h"

namespace fs = std::filesystem;
using guisupport::child;
using mwtest::clickCell;

namespace {

struct RecordingProgress : ProgressSink {
    QStringList statuses;
    QList<int> percents;
    void status(const std::string& text) override { statuses << QString::fromStdString(text); }
    void percent(int value) override { percents << value; }
};

QString text(QTableWidget* grid, int row, int column) {
    const QTableWidgetItem* item = grid->item(row, column);
    return item ? item->text() : QString();
}

}  // namespace

class TestPlayers : public QObject {
    Q_OBJECT

    std::unique_ptr<guisupport::ProgramFolder> folder_;
    std::unique_ptr<Dao> dao_;
    Settings settings_;
    RecordingProgress progress_;
    std::unique_ptr<QWidget> host_;
    PlayerArea* area_ = nullptr;
    QSignalSpy* messages_ = nullptr;
    QTableWidget* grid_ = nullptr;
    QTableWidget* talents_ = nullptr;
    long long club_ = 0;

    std::string column(long long player, const char* name) {
        return dao_->db().query("SELECT * FROM spieler WHERE NUMMER=" + std::to_string(player)).field(name).toString();
    }

    QLineEdit* edit(const char* name) { return child<QLineEdit>(host_.get(), name); }
    // Two of the names carry an umlaut: looked up as UTF-8.
    QComboBox* combo(const char* name) { return host_->findChild<QComboBox*>(QString::fromUtf8(name)); }
    void save() { child<QPushButton>(host_.get(), "btnspielerspeichern")->click(); }

    QStringList rowCells(int row) {
        QStringList cells;
        for (int c = 0; c < 18; ++c) cells << text(grid_, row, c);
        return cells;
    }
    // The row of the list holding the given player.
    int rowOf(long long player) {
        for (int r = 0; r < grid_->rowCount(); ++r)
            if (text(grid_, r, 0).toLongLong() == player) return r;
        return -1;
    }

private slots:
    void init() {
        folder_ = std::make_unique<guisupport::ProgramFolder>();
        dao_ = std::make_unique<Dao>();
        dao_->open(folder_->path() / "kickora.mdb");
        settings_ = Settings{};
        settings_.programDir = folder_->path();
        settings_.folders[FolderAttribute] = (folder_->path() / "attribute").string() + "/";
        progress_ = RecordingProgress{};

        host_ = std::make_unique<QWidget>();
        host_->setWindowTitle(QStringLiteral("Spieler"));
        area_ = new PlayerArea(*dao_, settings_, progress_, host_.get());
        auto* layout = new QVBoxLayout(host_.get());
        layout->addWidget(area_->playerPage(), 3);
        layout->addWidget(area_->gridFrame(), 2);
        host_->resize(1180, 900);
        messages_ = new QSignalSpy(area_, &PlayerArea::message);

        QStringList countries{QStringLiteral("TRANSFERMARKT")};
        for (jet::Recordset& rs = dao_->query("SELECT NAME FROM vereine_national ORDER BY NAME"); !rs.eof(); rs.moveNext())
            countries << QString::fromStdString(rs.field(0).toString());
        area_->initgrid();
        area_->load_attribute();
        area_->setCountryList(countries);
        grid_ = child<QTableWidget>(host_.get(), "flxgrdspieler");
        talents_ = child<QTableWidget>(host_.get(), "flxgrdattribute");
        QVERIFY(grid_ && talents_);
        host_->show();
        QVERIFY(QTest::qWaitForWindowExposed(host_.get()));
        club_ = dao_->query("SELECT NUMMER FROM vereine WHERE NUMMER>0 ORDER BY NUMMER").field(0).toInt();
    }

    void cleanup() {
        delete messages_;
        messages_ = nullptr;
        host_.reset();
        dao_.reset();
        folder_.reset();
    }

    // How fast the list fills: bench/bench_windows.
    void clubPlayersAreListed() {
        area_->showspielerliste(club_);
        guisupport::screenshot(host_.get(), QStringLiteral("players_list"));

        // The club's players, goalkeepers first (the rows' cells are checked with the list logic itself).
        QCOMPARE(grid_->rowCount(), 20);
        QVERIFY(grid_->isEnabled());
        QCOMPARE(text(grid_, 0, 7), QStringLiteral("Tor"));
        QCOMPARE(text(grid_, 19, 7), QStringLiteral("Sturm"));
        // Every second row light yellow, the number column excepted.
        const QColor yellow(255, 255, 192);
        for (int r = 0; r < grid_->rowCount(); ++r)
            for (int c = 1; c < 18; ++c)
                QCOMPARE(grid_->item(r, c)->background().color() == yellow, r % 2 == 1);
        QVERIFY(grid_->item(1, 0)->background().color() != yellow);
        // Headers and the hidden working columns.
        QCOMPARE(grid_->columnCount(), 18);
        QCOMPARE(grid_->horizontalHeaderItem(3)->text(), QStringLiteral("Stärke"));
        QCOMPARE(grid_->horizontalHeaderItem(8)->text(), QStringLiteral("Rückenummer"));
        for (int c = 0; c < 10; ++c) QVERIFY(!grid_->isColumnHidden(c));
        for (int c = 10; c < 18; ++c) QVERIFY(grid_->isColumnHidden(c));
        QVERIFY(grid_->horizontalHeader()->length() <= grid_->viewport()->width());
        // Status text while loading, cleared at the end; the bar ends at 100.
        QVERIFY(progress_.statuses.contains(QStringLiteral("Lade Spielerliste...")));
        QCOMPARE(progress_.statuses.last(), QString());
        QCOMPARE(progress_.percents.last(), 100);
        // The player frames wait for a click.
        QVERIFY(!child<QGroupBox>(host_.get(), "frameinfo")->isEnabled());
        QVERIFY(!child<QPushButton>(host_.get(), "btnspielerspeichern")->isEnabled());

        // A club without players after a full one: twenty blank rows, disabled.
        area_->showspielerliste(987654);
        QCOMPARE(grid_->rowCount(), 20);
        QVERIFY(!grid_->isEnabled());
        for (int r = 0; r < 20; ++r) QCOMPARE(rowCells(r).join(QString()), QString());
    }

    void strengthBetweenHalfStarsAndMissingCountry() {
        const long long player = dao_->query("SELECT spieler FROM vereinspieler WHERE verein=" + std::to_string(club_)).field(0).toInt();
        dao_->execute("UPDATE spieler SET [STÄRKE]=5300, [MAX_STÄRKE]=12000, NATION=\"Atlantis\", HAUTFARBE=99, "
                      "HAARFARBE=98 WHERE NUMMER=" + std::to_string(player));
        area_->showspielerliste(club_);
        const int row = rowOf(player);
        QCOMPARE(text(grid_, row, 3), QStringLiteral("2,7 Sterne"));
        QCOMPARE(text(grid_, row, 4), QStringLiteral("6,0 Sterne"));
        clickCell(grid_, row, 1);
        QCOMPARE(combo("cbospielerstärke")->currentText(), QStringLiteral("2.5 Sterne"));
        QCOMPARE(combo("cbospielermstärke")->currentText(), QStringLiteral("6.0 Sterne"));
        QCOMPARE(combo("cbospielerland")->currentText(), QStringLiteral("TRANSFERMARKT"));
        save();
        QCOMPARE(messages_->count(), 0);
        QCOMPARE(column(player, "STÄRKE") + " " + column(player, "MAX_STÄRKE") + " " + column(player, "NATION"),
                 std::string("5000 12000 TRANSFERMARKT"));
        QCOMPARE(text(grid_, row, 3), QStringLiteral("2,5 Sterne"));
    }

    // A click on a row fills the editor from the database; edits are saved to the row and the list.
    void editorFilledEditedAndSaved() {
        area_->showspielerliste(club_);
        QSignalSpy shown(area_, &PlayerArea::playerShown);
        const int row = 8;
        const long long player = text(grid_, row, 0).toLongLong();
        const std::string posY = column(player, "LIEBLINGSPOS_Y");
        clickCell(grid_, row, 2);
        guisupport::screenshot(host_.get(), QStringLiteral("players_editor"));
        QCOMPARE(shown.count(), 1);
        QVERIFY(child<QGroupBox>(host_.get(), "frameinfo")->isEnabled());
        QVERIFY(child<QGroupBox>(host_.get(), "framespielertalente")->isEnabled());

        QCOMPARE(edit("txtspielernr")->text().toLongLong(), player);
        const std::pair<const char*, const char*> fields[] = {{"txtspielername", "NAME"}, {"txtspielervorname", "VORNAME"},
                                                              {"txtspielergroesse", "GROESSE"}, {"txtspielereinsatz", "REST_EINSÄTZE"},
                                                              {"txtspielerrnr", "RUECKENNUMMER"}};
        for (const auto& [field, col] : fields) QCOMPARE(edit(field)->text().toStdString(), column(player, col));
        QCOMPARE(combo("cbospielerland")->currentText().toStdString(), column(player, "NATION"));
        QCOMPARE(combo("cbospielerstärke")->currentIndex() * 1000, std::stoi(column(player, "STÄRKE")));
        QCOMPARE(combo("cbospielermstärke")->currentIndex() * 1000, std::stoi(column(player, "MAX_STÄRKE")));
        QCOMPARE(combo("cbospielerpos")->currentIndex(), std::stoi(column(player, "ART")));
        QCOMPARE(child<QWidget>(host_.get(), "picgesicht")->property("tag").toLongLong(),
                 std::stoll(column(player, "GESICHT")));

        const std::pair<const char*, const char*> typed[] = {{"txtspielername", "O\"Brien"}, {"txtspielervorname", "Seán"},
                                                             {"txtspielergroesse", "199"}, {"txtspielereinsatz", "12"},
                                                             {"txtspielerrnr", "99"}};
        for (const auto& [field, value] : typed) edit(field)->setText(QString::fromUtf8(value));
        combo("cbospielerstärke")->setCurrentIndex(7);
        combo("cbospielermstärke")->setCurrentIndex(11);
        combo("cbospielerpos")->setCurrentIndex(3);
        combo("cbospielerland")->setCurrentText(QStringLiteral("Frankreich"));
        save();
        save();  // a second save keeps the values
        QCOMPARE(messages_->count(), 0);

        const std::pair<const char*, std::string> written[] = {
            {"NAME", "O\"Brien"}, {"VORNAME", "Seán"}, {"GROESSE", "199"}, {"REST_EINSÄTZE", "12"}, {"RUECKENNUMMER", "99"},
            {"STÄRKE", "7000"},   {"MAX_STÄRKE", "11000"}, {"ART", "3"}, {"NATION", "Frankreich"}, {"LIEBLINGSPOS_Y", posY}};
        for (const auto& [col, value] : written) QCOMPARE(column(player, col), value);

        // The list row shows what was written.
        const QStringList cells = rowCells(row);
        QCOMPARE(cells.mid(3, 7), QStringList({"3,5 Sterne", "5,5 Sterne", "Frankreich", "199", "Sturm", "99", "12"}));
        QCOMPARE(cells[1], QStringLiteral("O\"Brien"));
        QCOMPARE(cells[14].toStdString() + "/" + cells[15].toStdString(), column(player, "HAUTFARBE") + "/" + column(player, "HAARFARBE"));
    }

    void badNumbersAndEngineErrorsWriteNothing() {
        area_->showspielerliste(club_);
        const int row = 3;
        const long long player = text(grid_, row, 0).toLongLong();
        clickCell(grid_, row, 1);
        const std::string name = column(player, "NAME");
        const QStringList before = rowCells(row);

        // A bad number names its field (every field's check is unit-tested); then an engine
        // error reaches the user. The list row stays as the database has it.
        const struct {
            const char* field;
            const char* value;
            QString named;
        } cases[] = {{"txtspielergroesse", "1,90", QStringLiteral("Größe")}, {nullptr, nullptr, QStringLiteral("gesperrt")}};
        for (const auto& c : cases) {
            if (!c.field) dao_->db().executeNative("CREATE TRIGGER refuse BEFORE UPDATE ON spieler BEGIN SELECT RAISE(ABORT, 'gesperrt'); END");
            clickCell(grid_, row, 1);
            edit("txtspielername")->setText(QStringLiteral("Geändert"));
            if (c.field) edit(c.field)->setText(QString::fromUtf8(c.value));
            messages_->clear();
            save();
            QCOMPARE(messages_->count(), 1);
            QVERIFY2(messages_->at(0).at(1).toString().contains(c.named), qPrintable(messages_->at(0).at(1).toString()));
            QCOMPARE(column(player, "NAME"), name);
            QCOMPARE(rowCells(row), before);
        }
    }

    void talentsCycleAndAreSaved() {
        QCOMPARE(talents_->rowCount(), 53);
        QVERIFY(talents_->isColumnHidden(16));
        for (auto [col, header] : {std::pair{2, "Talent"}, std::pair{5, "Voraus."}, std::pair{9, "Schutz"}})
            QCOMPARE(talents_->model()->headerData(col, Qt::Horizontal).toString(), QString::fromLatin1(header));
        // Every talent has its icon from the attribute folder, and every row is shown until a
        // player is; columns and rows in their pixel sizes.
        for (int r = 0; r < 53; ++r) {
            QVERIFY(!talents_->item(r, 0)->data(Qt::DecorationRole).value<QPixmap>().isNull());
            QVERIFY(!talents_->isRowHidden(r));
            QCOMPARE(talents_->rowHeight(r), 16);
        }
        QList<int> widths;
        for (int c = 0; c < 10; ++c) widths << talents_->columnWidth(c);
        QCOMPARE(widths, QList<int>({16, 16, 125, 86, 16, 16, 16, 16, 16, 16}));

        // A field player with known lists.
        const long long player = dao_->query("SELECT s.NUMMER FROM spieler s INNER JOIN vereinspieler v ON v.spieler=s.NUMMER "
                                             "WHERE s.ART=2 AND v.verein=" + std::to_string(club_)).field(0).toInt();
        dao_->execute("UPDATE spieler SET ERLERNT=\"0, 5\", GESPERRT=\"40\" WHERE NUMMER=" + std::to_string(player));
        area_->showspielerliste(club_);
        const int row = rowOf(player);
        clickCell(grid_, row, 1);
        auto marked = [&](int talentRow) { return !talents_->item(talentRow - 1, 1)->data(Qt::DecorationRole).isNull(); };
        auto tip = [&](int talentRow) { return talents_->item(talentRow - 1, 1)->toolTip(); };
        QVERIFY(marked(1) && marked(6) && marked(41));
        QCOMPARE(tip(1), QStringLiteral("Erlernt"));
        QCOMPARE(tip(41), QStringLiteral("Gesperrt"));
        int marks = 0;
        for (int r = 1; r <= 53; ++r) marks += marked(r);
        QCOMPARE(marks, 3);
        // Field player: rows 1..47 shown, 48..53 hidden.
        for (int r = 1; r <= 53; ++r) QCOMPARE(talents_->isRowHidden(r - 1), r >= 48);
        // Tooltips name the talent, and for a reference the referenced talent.
        QCOMPARE(talents_->item(1, 0)->toolTip(), talents_->item(1, 3)->text());
        QCOMPARE(talents_->item(1, 4)->toolTip(), talents_->item(0, 3)->text());  // talent 2 needs talent 1

        // Row 3: three clicks come back to none; row 10 learned; row 6 blocked (column 1).
        for (int k = 0; k < 3; ++k) clickCell(talents_, 2, 0);
        QVERIFY(!marked(3));
        clickCell(talents_, 9, 0);
        clickCell(talents_, 5, 1);
        QCOMPARE(tip(10), QStringLiteral("Erlernt"));
        QCOMPARE(tip(6), QStringLiteral("Gesperrt"));
        clickCell(talents_, 9, 3);  // the name column does not cycle
        QCOMPARE(tip(10), QStringLiteral("Erlernt"));
        guisupport::screenshot(host_.get(), QStringLiteral("players_talents"));
        save();
        QCOMPARE(messages_->count(), 0);
        QCOMPARE(column(player, "ERLERNT") + "|" + column(player, "GESPERRT"), std::string("0,9|5,40"));
        QCOMPARE(rowCells(row).mid(16), QStringList({"0,9", "5,40"}));

        // A goalkeeper sees rows 41..53 only; the states of hidden rows still reach the save.
        const long long keeper = dao_->query("SELECT s.NUMMER FROM spieler s INNER JOIN vereinspieler v ON v.spieler=s.NUMMER "
                                             "WHERE s.ART=0 AND v.verein=" + std::to_string(club_)).field(0).toInt();
        dao_->execute("UPDATE spieler SET ERLERNT=\"2,50\", GESPERRT=\"\" WHERE NUMMER=" + std::to_string(keeper));
        area_->showspielerliste(club_);
        clickCell(grid_, rowOf(keeper), 1);
        for (int r = 1; r <= 53; ++r) QCOMPARE(talents_->isRowHidden(r - 1), r <= 40);
        // Choosing another position changes the rows only when the next player is shown.
        QComboBox* pos = combo("cbospielerpos");
        pos->setCurrentIndex(3);
        emit pos->activated(3);
        for (int r = 1; r <= 53; ++r) QCOMPARE(talents_->isRowHidden(r - 1), r <= 40);
        save();
        QCOMPARE(column(keeper, "ERLERNT") + "|" + column(keeper, "GESPERRT"), std::string("2,50|"));
    }
};

QTEST_MAIN(TestPlayers)
#include "test_players.moc"
