// The game database on SQLite. Declared types keep the Jet field type (the config writer
// reads them) while giving SQLite the affinity it needs; text compares without case as in Jet.
#include "schema.h"

#include "common/jetdb.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace schema {

namespace {

constexpr const char* kTables = R"SQL(
CREATE TABLE vereine (
  NUMMER INTEGER PRIMARY KEY,
  NAME VARCHAR(50) COLLATE NOCASE,
  KURZNAME VARCHAR(50) COLLATE NOCASE,
  GRAFIK_NR INTEGER,
  STAERKE VARCHAR(50) COLLATE NOCASE,
  STARTPLATZ VARCHAR(50) COLLATE NOCASE,
  SPIELER LONGTEXT COLLATE NOCASE,
  STADION_NAME VARCHAR(50) COLLATE NOCASE,
  STADT VARCHAR(50) COLLATE NOCASE,
  NATION VARCHAR(50) COLLATE NOCASE,
  STADION_SITZPL INTEGER,
  STADION_STEHPL INTEGER,
  TRIKOT_ART SMALLINT,
  TW_TRIKOT_ART SMALLINT,
  AUSWEICH_TRIKOT_ART SMALLINT,
  AUSWEICH_TW_TRIKOT_ART SMALLINT,
  F_TRIKOT_SPIELER VARCHAR(11) COLLATE NOCASE,
  F_AUSW_TRIKOT_SPIELER VARCHAR(11) COLLATE NOCASE,
  F_ALTERN_TRIKOT_SPIELER VARCHAR(11) COLLATE NOCASE,
  F_HOSE_SPIELER VARCHAR(11) COLLATE NOCASE,
  F_AUSW_HOSE_SPIELER VARCHAR(11) COLLATE NOCASE,
  F_ALTERN_HOSE_SPIELER VARCHAR(11) COLLATE NOCASE,
  F_TRIKOT_WERBUNG VARCHAR(11) COLLATE NOCASE,
  F_HOSE_STREIFEN VARCHAR(11) COLLATE NOCASE,
  F_TRIKOT_TORWART VARCHAR(11) COLLATE NOCASE,
  F_HOSE_TORWART VARCHAR(11) COLLATE NOCASE,
  F_TRIKOT_TRAINER VARCHAR(11) COLLATE NOCASE,
  F_HOSE_TRAINER VARCHAR(11) COLLATE NOCASE
);
CREATE TABLE vereine_national (
  NUMMER INTEGER PRIMARY KEY,
  NAME VARCHAR(50) COLLATE NOCASE,
  KURZNAME VARCHAR(50) COLLATE NOCASE,
  GRAFIK_NR INTEGER,
  STAERKE VARCHAR(50) COLLATE NOCASE,
  STARTPLATZ VARCHAR(50) COLLATE NOCASE,
  SPIELER LONGTEXT COLLATE NOCASE,
  STADION_NAME VARCHAR(50) COLLATE NOCASE,
  STADT VARCHAR(50) COLLATE NOCASE,
  KLIMA VARCHAR(50) COLLATE NOCASE,
  NATION VARCHAR(50) COLLATE NOCASE,
  KONTINENT VARCHAR(50) COLLATE NOCASE,
  STADION_SITZPL INTEGER,
  STADION_STEHPL INTEGER,
  TRIKOT_ART SMALLINT,
  TW_TRIKOT_ART SMALLINT,
  AUSWEICH_TRIKOT_ART SMALLINT,
  AUSWEICH_TW_TRIKOT_ART SMALLINT,
  F_TRIKOT_SPIELER VARCHAR(11) COLLATE NOCASE,
  F_AUSW_TRIKOT_SPIELER VARCHAR(11) COLLATE NOCASE,
  F_ALTERN_TRIKOT_SPIELER VARCHAR(11) COLLATE NOCASE,
  F_HOSE_SPIELER VARCHAR(11) COLLATE NOCASE,
  F_AUSW_HOSE_SPIELER VARCHAR(11) COLLATE NOCASE,
  F_ALTERN_HOSE_SPIELER VARCHAR(11) COLLATE NOCASE,
  F_TRIKOT_WERBUNG VARCHAR(11) COLLATE NOCASE,
  F_HOSE_STREIFEN VARCHAR(11) COLLATE NOCASE,
  F_TRIKOT_TORWART VARCHAR(11) COLLATE NOCASE,
  F_HOSE_TORWART VARCHAR(11) COLLATE NOCASE,
  F_TRIKOT_TRAINER VARCHAR(11) COLLATE NOCASE,
  F_HOSE_TRAINER VARCHAR(11) COLLATE NOCASE,
  NATIONALTEAM VARCHAR(50) COLLATE NOCASE,
  LANDNAME VARCHAR(50) COLLATE NOCASE
);
CREATE TABLE spieler (
  NUMMER INTEGER PRIMARY KEY,
  NAME VARCHAR(50) COLLATE NOCASE,
  VORNAME VARCHAR(50) COLLATE NOCASE,
  "STÄRKE" INTEGER,
  "MAX_STÄRKE" INTEGER,
  NATION VARCHAR(50) COLLATE NOCASE,
  GROESSE SMALLINT,
  ART TINYINT,
  "REST_EINSÄTZE" SMALLINT,
  LIEBLINGSPOS_X SMALLINT,
  LIEBLINGSPOS_Y SMALLINT,
  RUECKENNUMMER SMALLINT,
  GESICHT INTEGER,
  HAUTFARBE SMALLINT,
  HAARFARBE SMALLINT,
  ERLERNT VARCHAR(255) COLLATE NOCASE,
  GESPERRT VARCHAR(255) COLLATE NOCASE
);
CREATE TABLE vereinspieler (
  verein INTEGER,
  spieler INTEGER
);
CREATE TABLE e_attribute (
  id INTEGER PRIMARY KEY,
  gruppe VARCHAR(50) COLLATE NOCASE,
  name VARCHAR(50) COLLATE NOCASE,
  voraus1 SMALLINT,
  voraus2 SMALLINT,
  voraus3 SMALLINT,
  schutz1 SMALLINT,
  schutz2 SMALLINT,
  schutz3 SMALLINT
);
CREATE TABLE e_gesichtsfarbe (
  Haare SMALLINT,
  farbe SMALLINT,
  Hautfarbe SMALLINT,
  Haarfarbe SMALLINT
);
CREATE TABLE e_landkontinent (
  id INTEGER PRIMARY KEY,
  land VARCHAR(50) COLLATE NOCASE,
  kontinent VARCHAR(50) COLLATE NOCASE,
  wettbewerb VARCHAR(10) COLLATE NOCASE,
  teams SMALLINT,
  quali VARCHAR(255) COLLATE NOCASE
);
CREATE TABLE e_trikotfarbeoriginal (
  nummer SMALLINT,
  Trikot1 VARCHAR(11) COLLATE NOCASE,
  Trikot2 VARCHAR(11) COLLATE NOCASE,
  Hose VARCHAR(11) COLLATE NOCASE,
  Streifen VARCHAR(11) COLLATE NOCASE
);
CREATE TABLE e_trikotfarbekickoranet (
  nummer SMALLINT,
  Trikot1 VARCHAR(11) COLLATE NOCASE,
  Trikot2 VARCHAR(11) COLLATE NOCASE,
  Hose VARCHAR(11) COLLATE NOCASE,
  Streifen VARCHAR(11) COLLATE NOCASE
);
CREATE TABLE z4spieler (
  id INTEGER PRIMARY KEY,
  name VARCHAR(50) COLLATE NOCASE,
  vorname VARCHAR(50) COLLATE NOCASE,
  Land VARCHAR(50) COLLATE NOCASE,
  verein VARCHAR(50) COLLATE NOCASE,
  position SMALLINT,
  staerke INTEGER,
  Restspiele SMALLINT,
  Rueckennummer SMALLINT,
  Gesicht INTEGER,
  Hautfarbe SMALLINT,
  Haarfarbe SMALLINT
);
)SQL";

constexpr const char* kIndexes[] = {
    "CREATE INDEX IF NOT EXISTS vereinspieler_verein ON vereinspieler(verein)",
    "CREATE INDEX IF NOT EXISTS vereinspieler_spieler ON vereinspieler(spieler)",
    "CREATE INDEX IF NOT EXISTS vereine_nation ON vereine(NATION)",
    "CREATE INDEX IF NOT EXISTS vereine_national_name ON vereine_national(NAME)",
    "CREATE INDEX IF NOT EXISTS e_gesichtsfarbe_haare ON e_gesichtsfarbe(Haare, farbe)",
    "CREATE INDEX IF NOT EXISTS z4spieler_verein ON z4spieler(verein)",
};

// Run by the program after free players were stored or removed. Ours clears rows that
// came in without a name (an exporter section lacking the key), which no list can show
// and no transfer could use; rows with a name are never touched.
constexpr const char* kZ4DeleteIdName = "z4deleteid";
constexpr const char* kZ4DeleteIdSql = "DELETE * FROM z4spieler WHERE name Is Null OR name=\"\"";

// ASCII and German umlauts folded to lower case: SQLite itself folds ASCII only, but a
// Jet file may spell STÄRKE as Stärke.
std::string fold(std::string_view s)
{
    std::string out;
    out.reserve(s.size());
    for (std::size_t i = 0; i < s.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(s[i]);
        if (c == 0xC3 && i + 1 < s.size()) {
            unsigned char n = static_cast<unsigned char>(s[i + 1]);
            if (n == 0x84 || n == 0x96 || n == 0x9C)  // Ä Ö Ü
                n = static_cast<unsigned char>(n + 0x20);
            out.push_back(static_cast<char>(c));
            out.push_back(static_cast<char>(n));
            ++i;
            continue;
        }
        out.push_back(static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c));
    }
    return out;
}

std::optional<std::string> findName(const std::vector<std::string>& names, std::string_view wanted)
{
    const std::string w = fold(wanted);
    for (const auto& n : names)
        if (fold(n) == w)
            return n;
    return std::nullopt;
}

std::string ident(std::string_view name)
{
    std::string out = "\"";
    for (char c : name) {
        if (c == '"')
            out.push_back('"');
        out.push_back(c);
    }
    out.push_back('"');
    return out;
}

std::string textLiteral(std::string_view s)
{
    std::string out = "'";
    for (char c : s) {
        if (c == '\'')
            out.push_back('\'');
        out.push_back(c);
    }
    out.push_back('\'');
    return out;
}

// The player list's columns, in the order it reads them.
constexpr const char* kPlayerViewColumns[] = {
    "NUMMER",         "NAME",           "VORNAME",  "STÄRKE",   "MAX_STÄRKE", "NATION",
    "GROESSE",        "ART",            "RUECKENNUMMER", "REST_EINSÄTZE", "LIEBLINGSPOS_X",
    "LIEBLINGSPOS_Y", "verein",         "GESICHT",  "HAUTFARBE", "HAARFARBE", "ERLERNT",
    "GESPERRT"};

// spielerinvereine over the given tables; empty when a column is missing.
std::string playerViewSql(jet::Database& db, const std::string& spieler, const std::string& vereinspieler)
{
    std::vector<std::string> playerCols, memberCols;
    for (const auto& c : db.columns(spieler))
        playerCols.push_back(c.name);
    for (const auto& c : db.columns(vereinspieler))
        memberCols.push_back(c.name);
    auto nummer = findName(playerCols, "NUMMER");
    auto memberPlayer = findName(memberCols, "spieler");
    if (!nummer || !memberPlayer)
        return {};
    std::string sql = "CREATE VIEW spielerinvereine AS SELECT ";
    bool first = true;
    for (const char* wanted : kPlayerViewColumns) {
        std::string expr;
        std::string alias;
        if (std::string_view(wanted) == "verein") {
            auto c = findName(memberCols, wanted);
            if (!c)
                return {};
            expr = "v." + ident(*c);
            alias = *c;
        } else {
            auto c = findName(playerCols, wanted);
            if (!c)
                return {};
            expr = "s." + ident(*c);
            alias = *c;
        }
        sql += (first ? "" : ", ") + expr + " AS " + ident(alias);
        first = false;
    }
    sql += " FROM " + ident(spieler) + " AS s INNER JOIN " + ident(vereinspieler) + " AS v ON v." +
           ident(*memberPlayer) + " = s." + ident(*nummer);
    return sql;
}

std::string maxTeamSql(const std::optional<std::string>& vereine, const std::optional<std::string>& national)
{
    std::string sql = "CREATE VIEW maxteamnr AS ";
    if (vereine)
        sql += "SELECT max(NUMMER) AS maxnr FROM " + ident(*vereine);
    if (vereine && national)
        sql += " UNION ALL ";
    if (national)
        sql += "SELECT max(NUMMER) AS maxnr FROM " + ident(*national);
    return sql;
}

void ensureStoredQueryTable(jet::Database& db)
{
    db.executeNative(jet::kStoredQueryTableDdl);
}

bool hasStoredQuery(jet::Database& db, std::string_view name)
{
    // Compared here rather than in SQL: an imported table may lack the NOCASE collation.
    for (auto rs = db.query(std::string("SELECT name FROM ") + jet::kStoredQueryTable); !rs.eof(); rs.moveNext())
        if (fold(rs.field(0).toString()) == fold(name))
            return true;
    return false;
}

void addStoredQuery(jet::Database& db, std::string_view name, std::string_view jetSql)
{
    db.executeNative(std::string("INSERT INTO ") + jet::kStoredQueryTable + " (name, sql) VALUES (" +
                     textLiteral(name) + ", " + textLiteral(jetSql) + ")");
}

}  // namespace

void createGameTables(jet::Database& db)
{
    jet::Transaction t(db);
    db.executeNative(kTables);
    ensureStoredQueryTable(db);
    ensureGameViews(db);
    t.commit();
}

void createGameIndexes(jet::Database& db)
{
    for (const char* index : kIndexes)
        db.executeNative(index);
}

void createGameSchema(jet::Database& db)
{
    jet::Transaction t(db);
    createGameTables(db);
    createGameIndexes(db);
    t.commit();
}

void ensureGameViews(jet::Database& db)
{
    jet::Transaction t(db);
    std::vector<std::string> names = db.tableNames();
    for (auto& v : db.viewNames())
        names.push_back(v);
    auto has = [&](std::string_view n) { return findName(names, n).has_value(); };

    auto spieler = findName(names, "spieler");
    auto vereinspieler = findName(names, "vereinspieler");
    if (!has("spielerinvereine") && spieler && vereinspieler) {
        std::string sql = playerViewSql(db, *spieler, *vereinspieler);
        if (!sql.empty())
            db.executeNative(sql);
    }

    auto vereine = findName(names, "vereine");
    auto national = findName(names, "vereine_national");
    if (!has("maxteamnr") && (vereine || national))
        db.executeNative(maxTeamSql(vereine, national));

    auto z4 = findName(names, "z4spieler");
    if (!has("z4spielerzufall") && z4)
        db.executeNative("CREATE VIEW z4spielerzufall AS SELECT * FROM " + ident(*z4) + " ORDER BY random()");

    // An imported file has no indexes; the editor's lookups by club and country need them.
    for (const char* index : kIndexes) {
        try {
            db.executeNative(index);
        } catch (const jet::Error&) {
            // table or column not in this file
        }
    }

    ensureStoredQueryTable(db);
    if (z4 && !hasStoredQuery(db, kZ4DeleteIdName))
        addStoredQuery(db, kZ4DeleteIdName, kZ4DeleteIdSql);
    t.commit();
}

}  // namespace schema
