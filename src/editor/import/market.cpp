#include "import/market.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <map>
#include <optional>
#include <tuple>
#include <vector>

#include "common/jetdb.h"
#include "common/jetsql.h"
#include "common/progress.h"
#include "common/random.h"
#include "config/landneu.h"
#include "foundation/journal.h"
#include "mainwindow/playerlist.h"

namespace market {

namespace {

using jet::Value;

// Columns of spieler by position, as the game's file orders them.
enum SpielerColumn : int {
    SpName = 1,
    SpVorname = 2,
    SpStaerke = 3,
    SpNation = 5,
    SpArt = 7,
    SpRestEinsaetze = 8,
    SpRueckennummer = 11,
    SpGesicht = 12,
    SpHautfarbe = 13,
    SpHaarfarbe = 14,
};

// A free player's row as read from z4spieler or z4spielerzufall.
struct FreePlayer {
    Value id, name, vorname, land, position, staerke, restspiele, rueckennummer, gesicht, hautfarbe, haarfarbe;
};

FreePlayer readFree(const jet::Recordset& rs)
{
    return {rs.field("id"),          rs.field("name"),          rs.field("vorname"), rs.field("Land"),
            rs.field("position"),    rs.field("staerke"),       rs.field("Restspiele"),
            rs.field("Rueckennummer"), rs.field("Gesicht"),     rs.field("Hautfarbe"), rs.field("Haarfarbe")};
}

bool hasName(const Value& name)
{
    return !name.isNull() && !name.toString().empty();
}

// The order of the random view is the engine's; sorting first makes the draw depend on rnd alone.
bool freeOrder(const FreePlayer& a, const FreePlayer& b)
{
    const auto key = [](const FreePlayer& f) {
        return std::make_tuple(f.id.isNull(), f.id.toInt(), f.name.toString(), f.vorname.toString(),
                               f.land.toString(), f.staerke.toInt(), f.gesicht.toInt());
    };
    return key(a) < key(b);
}

// Country lookups of one command: the first creates the national team, the rest find it.
class Nations {
public:
    explicit Nations(jet::Database& db) : db_(db) {}

    // The NATION to store for a free player's country; nullopt keeps the slot's value.
    std::optional<std::string> of(const Value& land)
    {
        const std::string country = land.toString();
        if (country.empty())
            return std::nullopt;  // a nameless country would become a nameless national team
        if (country == "TRANSFERMARKT")
            return country;       // the game's mark for players of no country, not a country
        auto it = cache_.find(country);
        if (it == cache_.end())
            it = cache_.emplace(country, cfg::landneu(db_, country)).first;
        return it->second;
    }

private:
    jet::Database& db_;
    std::map<std::string, std::string> cache_;
};

long long scalar(jet::Database& db, const std::string& sql)
{
    jet::Recordset rs = db.query(sql);
    return rs.eof() ? 0 : rs.field(0).toInt();
}

// "Update spieler SET ..." giving player `nummer` the free player's data. Numbers the free player
// lacks (Null) keep the player's values; talents are cleared.
std::string updateFromFree(const FreePlayer& f, long long nummer, bool withShirt, Nations& nations, RandomSource& rnd)
{
    std::vector<std::string> sets;
    const auto number = [&](const char* column, const Value& v) {
        if (!v.isNull())
            sets.push_back(std::string(column) + "=" + std::to_string(v.toInt()));
    };
    sets.push_back("NAME=" + jetsql::quote(f.name.toString()));
    sets.push_back("VORNAME=" + jetsql::quote(kurzvorname(f.vorname.toString())));
    if (!f.staerke.isNull()) {
        const long long s = f.staerke.toInt();
        sets.push_back("STÄRKE=" + std::to_string(s));
        sets.push_back("MAX_STÄRKE=" + std::to_string(wachstum(s, rnd)));
    }
    if (const auto nation = nations.of(f.land))
        sets.push_back("NATION=" + jetsql::quote(*nation));
    number("ART", f.position);
    number("REST_EINSÄTZE", f.restspiele);
    if (withShirt)
        number("RUECKENNUMMER", f.rueckennummer);
    number("GESICHT", f.gesicht);
    number("HAUTFARBE", f.hautfarbe);
    number("HAARFARBE", f.haarfarbe);
    sets.push_back("ERLERNT=" + jetsql::quote(""));
    sets.push_back("GESPERRT=" + jetsql::quote(""));

    std::string sql = "Update spieler  SET ";
    for (std::size_t i = 0; i < sets.size(); ++i)
        sql += (i ? ", " : "") + sets[i];
    return sql + " WHERE NUMMER=" + std::to_string(nummer) + ";";
}

// VB's Mod: the operand rounded half to even first, the sign that of the dividend.
long long vbMod2(double value)
{
    return static_cast<long long>(std::nearbyint(value)) % 2;
}

QString positionWord(long long art)
{
    static const char* words[] = {"TOR", "ABW", "MIT", "STU"};
    return art >= 0 && art < 4 ? QString::fromLatin1(words[art]) : QString::number(art);
}

std::vector<ListEntry> listOf(jet::Recordset rs)
{
    // Columns: number, position, name, first name, strength.
    std::vector<ListEntry> list;
    list.reserve(static_cast<std::size_t>(rs.recordCount()));
    for (; !rs.eof(); rs.moveNext()) {
        ListEntry e;
        e.key = "S_" + rs.field(0).toString();
        e.art = rs.field(1).toInt();
        e.text = QString::fromStdString(rs.field(3).toString() + " " + rs.field(2).toString());
        e.position = positionWord(e.art);
        e.stars = playerlist::starsText(rs.field(4).toInt());
        list.push_back(std::move(e));
    }
    return list;
}

}  // namespace

bool checkz4(jet::Database& db)
{
    for (const std::string& table : db.tableNames())
        if (QString::fromStdString(table).compare(QLatin1String("z4spieler"), Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

std::string kurzvorname(std::string_view vorname)
{
    // One whole character of the UTF-8 text, so "Émile" gives "É.".
    std::size_t length = vorname.empty() ? 0 : 1;
    while (length < vorname.size() && (static_cast<unsigned char>(vorname[length]) & 0xC0) == 0x80)
        ++length;
    return std::string(vorname.substr(0, length)) + ".";
}

long long wachstum(long long s, RandomSource& rnd)
{
    if (s > 12000)
        return s;
    if (s < 0)
        s = 0;
    // x = s/1000 raised to the next even level; it stays whole-numbered in thousandths.
    const long long raise = vbMod2(static_cast<double>(s) / 1000.0);
    const double x = static_cast<double>(s) / 1000.0 + static_cast<double>(raise);
    const int bound = s <= 3000 ? 6 : s <= 7000 ? 10 : 12;
    const double room = static_cast<double>(bound) - x;
    long long y = room > 0 ? static_cast<long long>(std::floor(rnd.next() * room)) : 0;
    y += y % 2;
    return s + 1000 * (raise + y);
}

FillResult spielerz4_nach_tmarkt(jet::Database& db, ProgressSink& progress, RandomSource& rnd)
{
    FillResult result;
    if (!checkz4(db))
        return result;
    jet::Transaction transaction(db);
    journal::Command journaled(db, "Transfermarkt füllen");

    std::vector<long long> plaetze;
    for (jet::Recordset rs = db.query("SELECT * FROM vereinspieler WHERE verein=0 ORDER by spieler"); !rs.eof();
         rs.moveNext())
        if (!rs.field(1).isNull())
            plaetze.push_back(rs.field(1).toInt());
    std::vector<FreePlayer> frei;
    for (jet::Recordset rs = db.query("SELECT * FROM z4spielerzufall"); !rs.eof(); rs.moveNext()) {
        FreePlayer f = readFree(rs);
        if (hasName(f.name))
            frei.push_back(std::move(f));
    }
    if (plaetze.empty() || frei.empty())
        return result;

    const std::size_t n = std::min(plaetze.size(), frei.size());
    std::sort(frei.begin(), frei.end(), freeOrder);
    for (std::size_t i = 0; i < n; ++i)
        std::swap(frei[i], frei[i + rnd.below(frei.size() - i)]);

    const long long nationsBefore = scalar(db, "SELECT count(*) FROM vereine_national");
    Nations nations(db);
    progress.status(kSaveStatus);
    for (std::size_t i = 0; i < n; ++i) {
        progress.percent(n > 1 ? static_cast<int>(i * 100 / (n - 1)) : 100);
        // A membership row without its player row is a slot that takes nobody.
        if (db.execute(updateFromFree(frei[i], plaetze[i], false, nations, rnd)) > 0)
            ++result.filled;
    }
    result.nationsCreated = static_cast<int>(scalar(db, "SELECT count(*) FROM vereine_national") - nationsBefore);
    transaction.commit();
    return result;
}

std::vector<QString> freieVereine(jet::Database& db)
{
    std::vector<QString> clubs;
    if (!checkz4(db))
        return clubs;
    for (jet::Recordset rs = db.query("SELECT DISTINCT verein FROM z4spieler ORDER BY verein"); !rs.eof(); rs.moveNext())
        if (!rs.field(0).isNull())
            clubs.push_back(QString::fromStdString(rs.field(0).toString()));
    return clubs;
}

std::vector<ListEntry> freieSpieler(jet::Database& db, const QString& verein)
{
    return listOf(db.query("Select id,position,name,vorname,staerke From z4spieler WHERE verein=" +
                           jetsql::quote(verein.toStdString()) + " ORDER BY position,name,vorname"));
}

std::vector<ListEntry> vereinsSpieler(jet::Database& db, long long verein)
{
    return listOf(db.query("Select nummer,art,name,vorname,stärke From spielerinvereine WHERE verein=" +
                           std::to_string(verein) + " ORDER BY art,name,vorname"));
}

long long keyNumber(std::string_view key)
{
    if (key.size() < 3 || key.substr(0, 2) != "S_")
        return -1;
    long long n = -1;
    const auto [end, ec] = std::from_chars(key.data() + 2, key.data() + key.size(), n);
    return ec == std::errc() && end == key.data() + key.size() && n >= 0 ? n : -1;
}

void tauschFrei(jet::Database& db, long long freiId, long long spieler, const std::string& vereinText,
                RandomSource& rnd)
{
    jet::Transaction transaction(db);
    journal::Command journaled(db, "Spielertransfer");
    jet::Recordset b = db.query("SELECT * FROM spieler WHERE nummer=" + std::to_string(spieler) + ";");
    if (b.eof())
        throw jet::Error("Den Spieler " + std::to_string(spieler) + " gibt es nicht.");
    // A nameless row would be cleared at once by z4deleteid: the player would be lost.
    if (!hasName(b.field(SpName)))
        throw jet::Error("Der Spieler " + std::to_string(spieler) +
                         " hat keinen Namen und kann nicht zu den freien Spielern. Bitte erst einen Namen eintragen.");
    jet::Recordset a = db.query("SELECT * FROM z4spieler WHERE id=" + std::to_string(freiId) + ";");
    if (a.eof())
        throw jet::Error("Den freien Spieler " + std::to_string(freiId) + " gibt es nicht.");
    const FreePlayer f = readFree(a);
    if (!hasName(f.name))
        throw jet::Error("Der freie Spieler " + std::to_string(freiId) + " hat keinen Namen und kann nicht übernommen werden.");

    jet::Recordset neu = db.openTable("z4spieler");
    neu.addNew();
    neu.setField("name", b.field(SpName));
    neu.setField("vorname", Value(kurzvorname(b.field(SpVorname).toString())));
    neu.setField("Land", b.field(SpNation));
    neu.setField("verein", Value(vereinText));
    neu.setField("position", b.field(SpArt));
    neu.setField("staerke", b.field(SpStaerke));
    neu.setField("Restspiele", b.field(SpRestEinsaetze));
    neu.setField("Rueckennummer", b.field(SpRueckennummer));
    neu.setField("Gesicht", b.field(SpGesicht));
    neu.setField("Hautfarbe", b.field(SpHautfarbe));
    neu.setField("Haarfarbe", b.field(SpHaarfarbe));
    neu.update();

    Nations nations(db);
    db.execute(updateFromFree(f, spieler, true, nations, rnd));
    db.execute("DELETE * FROM z4spieler WHERE id=" + std::to_string(freiId) + ";");
    db.runStoredQuery("z4deleteid");
    transaction.commit();
}

void tauschEditor(jet::Database& db, long long a, long long vereinA, long long b, long long vereinB)
{
    jet::Transaction transaction(db);
    journal::Command journaled(db, "Spielertransfer");
    // Restricted to the two clubs: a player's other membership rows stay where they are.
    const auto move = [&](long long player, long long from, long long to) {
        if (db.execute("UPDATE vereinspieler SET verein=" + std::to_string(to) + " WHERE spieler=" +
                       std::to_string(player) + " AND verein=" + std::to_string(from) + ";") == 0)
            throw jet::Error("Der Spieler " + std::to_string(player) + " gehört nicht zum Verein " +
                             std::to_string(from) + ".");
    };
    move(a, vereinA, vereinB);
    if (a != b || vereinA != vereinB)
        move(b, vereinB, vereinA);
    transaction.commit();
}

long long vereinVon(jet::Database& db, long long spieler)
{
    jet::Recordset rs = db.query("SELECT verein FROM vereinspieler WHERE spieler=" + std::to_string(spieler));
    if (rs.eof() || rs.field(0).isNull())
        throw jet::Error("Der Spieler " + std::to_string(spieler) + " gehört zu keinem Verein.");
    if (rs.recordCount() > 1)
        throw jet::Error("Der Spieler " + std::to_string(spieler) + " gehört zu mehreren Vereinen.");
    return rs.field(0).toInt();
}

std::string vereinText(jet::Database& db, long long verein)
{
    jet::Recordset rs = db.query("SELECT vereine.name, vereine_national.nation FROM vereine LEFT JOIN vereine_national "
                                 "ON vereine_national.name = vereine.nation WHERE vereine.nummer=" +
                                 std::to_string(verein));
    if (rs.eof()) {
        // A national team's squad: the country's name.
        jet::Recordset national = db.query("SELECT name FROM vereine_national WHERE nummer=" + std::to_string(verein));
        if (national.eof())
            throw jet::Error("Den Verein " + std::to_string(verein) + " gibt es nicht.");
        return national.field(0).toString();
    }
    if (rs.field(1).isNull())
        return rs.field(0).toString();
    return rs.field(0).toString() + " (" + rs.field(1).toString() + ")";
}

}  // namespace market
