#include "import/teafile.h"

#include "common/jetdb.h"
#include "common/jetsql.h"
#include "common/profile.h"
#include "common/progress.h"
#include "config/cfgformat.h"
#include "foundation/journal.h"
#include "import/clubfile.h"

#include <algorithm>
#include <map>


namespace imp {

const std::vector<std::string> kTeamClubColumns = {
    "NUMMER", "NAME", "KURZNAME", "GRAFIK_NR", "STAERKE", "STARTPLATZ", "SPIELER", "STADION_NAME", "STADT", "NATION",
    "STADION_SITZPL", "STADION_STEHPL", "TRIKOT_ART", "TW_TRIKOT_ART", "AUSWEICH_TRIKOT_ART", "AUSWEICH_TW_TRIKOT_ART",
    "F_TRIKOT_SPIELER", "F_AUSW_TRIKOT_SPIELER", "F_ALTERN_TRIKOT_SPIELER", "F_HOSE_SPIELER", "F_AUSW_HOSE_SPIELER",
    "F_ALTERN_HOSE_SPIELER", "F_TRIKOT_WERBUNG", "F_HOSE_STREIFEN", "F_TRIKOT_TORWART", "F_HOSE_TORWART",
    "F_TRIKOT_TRAINER", "F_HOSE_TRAINER"};

const std::vector<std::string> kTeamPlayerColumns = {
    "NUMMER",         "NAME",          "VORNAME", "STÄRKE",    "MAX_STÄRKE", "NATION",  "GROESSE", "ART",
    "REST_EINSÄTZE",  "LIEBLINGSPOS_X", "LIEBLINGSPOS_Y", "RUECKENNUMMER", "GESICHT", "HAUTFARBE", "HAARFARBE",
    "ERLERNT",        "GESPERRT"};

namespace {

bool isText(const std::string& column)
{
    for (const char* t : {"NAME", "KURZNAME", "SPIELER", "STADION_NAME", "STADT", "NATION", "VORNAME", "ERLERNT",
                          "GESPERRT"})
        if (column == t)
            return true;
    return false;
}

std::string clubDefault(const std::string& column)
{
    if (isText(column))
        return {};
    return column.rfind("F_", 0) == 0 ? "0,0,0" : "0";
}

std::string playerDefault(const std::string& column)
{
    if (isText(column))
        return {};
    return column == "RUECKENNUMMER" ? "1" : "0";
}

// Team files name the two strength columns without umlaut.
std::string playerKey(const std::string& column)
{
    if (column == "STÄRKE")
        return "Staerke";
    if (column == "MAX_STÄRKE")
        return "Max_Staerke";
    return column;
}

// How a value goes into the statement, by the column's declared type in this database.
class ColumnTypes {
public:
    ColumnTypes(jet::Database& db, const char* table)
    {
        for (const auto& c : db.columns(table))
            types_[cfg::upperName(c.name)] = c.declaredType;
    }

    std::string sql(const std::string& column, const std::string& value, const std::string& def) const
    {
        const auto it = types_.find(cfg::upperName(column));
        const std::string type = it == types_.end() ? std::string("VARCHAR") : it->second;
        if (cfg::kindOfDeclaredType(type) != cfg::ColumnKind::Number)
            return jetsql::quote(value);
        long long lo = -1000000000000000LL, hi = 1000000000000000LL;
        const std::string up = cfg::upperName(type);
        if (up.rfind("TINYINT", 0) == 0)
            lo = 0, hi = 255;
        else if (up.rfind("SMALLINT", 0) == 0)
            lo = -32768, hi = 32767;
        else if (up.rfind("INT", 0) == 0)
            lo = -2147483648LL, hi = 2147483647LL;
        return std::to_string(numberIn(value, numberIn(def, 0, lo, hi), lo, hi));
    }

private:
    std::map<std::string, std::string> types_;
};

std::string joined(const std::vector<std::string>& parts, const char* sep)
{
    std::string out;
    for (const auto& p : parts)
        out += (out.empty() ? "" : sep) + p;
    return out;
}

long long greatest(jet::Database& db, const char* sql)
{
    jet::Recordset rs = db.query(sql);
    return rs.eof() || rs.field(0).isNull() ? 0 : rs.field(0).toInt();
}

}  // namespace

std::vector<std::string> TeamFile::player(int k) const
{
    if (k >= 0 && k < static_cast<int>(players.size()))
        return players[static_cast<std::size_t>(k)];
    std::vector<std::string> defaults;
    for (const auto& c : kTeamPlayerColumns)
        defaults.push_back(playerDefault(c));
    return defaults;
}

TeamFile loadTeamFile(const std::filesystem::path& requested)
{
    return readTeamFile(openImportFile(requested));
}

TeamFile readTeamFile(const ImportFile& in)
{
    const profile::Document* doc = &in.doc;

    TeamFile t;
    t.path = in.path;
    t.title = fileTitle(in.path);
    t.nation = doc->getString("Team", "Nation", "");
    for (const auto& c : kTeamClubColumns)
        t.club.push_back(doc->getString("Team", c, clubDefault(c)));

    // A bound far beyond any club keeps a damaged file from making us read forever.
    const PlayerSections sections = playerSections(*doc, 10000);
    t.playerSections = sections.count;
    for (int k = 0; k < sections.highest; ++k) {
        const std::string section = "Spieler" + std::to_string(k + 1);
        std::vector<std::string> values;
        for (const auto& c : kTeamPlayerColumns)
            values.push_back(doc->getString(section, playerKey(c), playerDefault(c)));
        t.players.push_back(std::move(values));
    }
    return t;
}

long long importTeamAsNew(jet::Database& db, const TeamFile& file, std::string_view country, ProgressSink& progress)
{
    const std::string land(country);
    if (land.empty() ||
        db.query("SELECT NUMMER FROM vereine_national WHERE NAME=" + jetsql::quote(land) + " OR NATION=" +
                 jetsql::quote(land))
            .eof())
        throw Error("Das Land \"" + land + "\" gibt es in der Datenbank nicht.");
    progress.status(kNewClubStatus);
    const ColumnTypes clubTypes(db, "vereine"), playerTypes(db, "spieler");
    jet::Transaction t(db);
    journal::Command journaled(db, "Team-Datei importieren");
    const long long club = greatest(db, "Select max(maxnr) From maxteamnr") + 1;
    std::vector<std::string> values;
    for (std::size_t i = 0; i < kTeamClubColumns.size(); ++i) {
        const std::string& c = kTeamClubColumns[i];
        const std::string v = c == "NUMMER" ? std::to_string(club) : c == "NATION" ? land : file.club[i];
        values.push_back(clubTypes.sql(c, v, clubDefault(c)));
    }
    db.execute("INSERT INTO VEREINE (" + joined(kTeamClubColumns, ",") + ") VALUES (" + joined(values, ",") + ")");

    long long player = greatest(db, "SELECT MAX(NUMMER) FROM SPIELER");
    for (int k = 0; k < kTeamPlayers; ++k) {
        ++player;
        const std::vector<std::string> p = file.player(k);
        std::vector<std::string> pv;
        for (std::size_t i = 0; i < kTeamPlayerColumns.size(); ++i) {
            const std::string& c = kTeamPlayerColumns[i];
            pv.push_back(playerTypes.sql(c, c == "NUMMER" ? std::to_string(player) : p[i], playerDefault(c)));
        }
        db.execute("INSERT INTO SPIELER (" + joined(kTeamPlayerColumns, ",") + ") VALUES (" + joined(pv, ",") + ")");
        db.execute("INSERT INTO vereinspieler (verein, spieler) VALUES (" + std::to_string(club) + "," +
                   std::to_string(player) + ")");
        progress.percent((k + 1) * 100 / kTeamPlayers);
    }
    t.commit();
    return club;
}

void importTeamOver(jet::Database& db, const TeamFile& file, long long club, ProgressSink& progress)
{
    if (db.query("SELECT NUMMER FROM vereine WHERE NUMMER=" + std::to_string(club)).eof())
        throw Error("Den Verein " + std::to_string(club) + " gibt es in der Datenbank nicht.");
    progress.status(kReplaceClubStatus);
    const ColumnTypes clubTypes(db, "vereine"), playerTypes(db, "spieler");
    jet::Transaction t(db);
    journal::Command journaled(db, "Team-Datei importieren");
    std::vector<std::string> sets;
    for (std::size_t i = 1; i < kTeamClubColumns.size(); ++i) {
        const std::string& c = kTeamClubColumns[i];
        sets.push_back(c + "=" + clubTypes.sql(c, file.club[i], clubDefault(c)));
    }
    db.execute("UPDATE VEREINE SET " + joined(sets, ",") + " WHERE NUMMER=" + std::to_string(club));

    std::vector<long long> rows;
    {
        jet::Recordset rs = db.query("SELECT spieler FROM vereinspieler WHERE verein=" + std::to_string(club));
        for (; !rs.eof(); rs.moveNext())
            if (!rs.field(0).isNull())
                rows.push_back(rs.field(0).toInt());
    }
    for (std::size_t k = 0; k < rows.size(); ++k) {
        const std::vector<std::string> p = file.player(static_cast<int>(k));
        std::vector<std::string> ps;
        for (std::size_t i = 1; i < kTeamPlayerColumns.size(); ++i) {
            const std::string& c = kTeamPlayerColumns[i];
            ps.push_back(c + "=" + playerTypes.sql(c, p[i], playerDefault(c)));
        }
        db.execute("UPDATE spieler SET " + joined(ps, ",") + " WHERE NUMMER=" + std::to_string(rows[k]));
        progress.percent(static_cast<int>((k + 1) * 100 / rows.size()));
    }
    t.commit();
}

}  // namespace imp
