#include "tools/dbcheck.h"

#include <filesystem>
#include <map>
#include <optional>
#include <set>
#include <system_error>

#include "common/jetdb.h"
#include "common/jetfunctions.h"
#include "common/jetsql.h"
#include "editor/graphics/crests.h"
#include "editor/graphics/jerseys.h"

namespace dbcheck {

namespace {

using Findings = std::vector<Finding>;

std::string str(long long n) { return std::to_string(n); }
std::string quoted(const std::string& s) { return "\u201E" + s + "\u201C"; }
std::string playerName(const jet::Recordset& rs, int name, int vorname) {
    const std::string n = rs.field(name).toString(), v = rs.field(vorname).toString();
    return v.empty() ? n : n + ", " + v;
}
std::string count(long long n, const char* one, const char* many) { return str(n) + " " + (n == 1 ? one : many); }

void squads(jet::Database& db, Findings& out) {
    jet::Recordset rs = db.query(
        "SELECT v.NUMMER, v.NAME, (SELECT count(DISTINCT vs.spieler) FROM vereinspieler vs INNER JOIN spieler s "
        "ON s.NUMMER = vs.spieler WHERE vs.verein = v.NUMMER) AS n FROM vereine v WHERE v.NUMMER <> 0 ORDER BY v.NUMMER");
    for (; !rs.eof(); rs.moveNext()) {
        const long long n = rs.field(2).toInt();
        if (n == kSquadSize) continue;
        out.push_back({Kind::Squad, Target::Club, rs.field(0).toInt(),
                       "Verein " + quoted(rs.field(1).toString()) + " hat " + count(n, "Spieler", "Spieler") + " statt " +
                           str(kSquadSize)});
    }
}

void memberships(jet::Database& db, Findings& out) {
    std::set<long long> seen;  // a number used twice is reported once
    jet::Recordset none = db.query(
        "SELECT s.NUMMER, s.NAME, s.VORNAME FROM spieler s WHERE s.NUMMER NOT IN (SELECT vs.spieler FROM vereinspieler vs "
        "WHERE vs.verein IN (SELECT NUMMER FROM vereine) OR vs.verein IN (SELECT NUMMER FROM vereine_national)) "
        "ORDER BY s.NUMMER");
    for (; !none.eof(); none.moveNext()) {
        const long long number = none.field(0).toInt();
        if (!seen.insert(number).second) continue;
        out.push_back({Kind::NoClub, Target::Player, number, "Spieler " + playerName(none, 1, 2) + " ist in keinem Verein"});
    }

    jet::Recordset two = db.query(
        "SELECT vs.spieler, count(*), count(DISTINCT vs.verein), min(vs.verein), max(vs.verein) FROM vereinspieler vs "
        "INNER JOIN vereine v ON v.NUMMER = vs.verein GROUP BY vs.spieler HAVING count(*) > 1 ORDER BY vs.spieler");
    for (; !two.eof(); two.moveNext()) {
        const long long clubs = two.field(2).toInt();
        const std::string text =
            clubs == 1 ? "steht " + str(two.field(1).toInt()) + "-mal im Verein " + str(two.field(3).toInt())
                       : "ist in " + str(clubs) + " Vereinen (" + str(two.field(3).toInt()) + (clubs == 2 ? " und " : " bis ") +
                             str(two.field(4).toInt()) + ")";
        out.push_back({Kind::TwoClubs, Target::Player, two.field(0).toInt(), "Spieler " + text});
    }
}

void numbers(jet::Database& db, Findings& out) {
    jet::Recordset rs =
        db.query("SELECT NUMMER, count(*) FROM spieler GROUP BY NUMMER HAVING count(*) > 1 ORDER BY NUMMER");
    for (; !rs.eof(); rs.moveNext())
        out.push_back({Kind::NumberTwice, Target::Player, rs.field(0).toInt(),
                       "Spielernummer " + rs.field(0).toString() + " ist " + str(rs.field(1).toInt()) + "-mal vergeben"});
}

void strengths(jet::Database& db, Findings& out) {
    jet::Recordset rs = db.query(
        "SELECT NUMMER, NAME, VORNAME, [STÄRKE], [MAX_STÄRKE] FROM spieler WHERE [STÄRKE] > [MAX_STÄRKE] ORDER BY NUMMER");
    for (; !rs.eof(); rs.moveNext())
        out.push_back({Kind::Strength, Target::Player, rs.field(0).toInt(),
                       "Spieler " + playerName(rs, 1, 2) + ": Stärke " + rs.field(3).toString() + " über Maxstärke " +
                           rs.field(4).toString()});
}

void nations(jet::Database& db, Findings& out) {
    struct Use {
        std::string name;
        Target target = Target::Club;
        long long first = 0;
        long long clubs = 0, players = 0;
    };
    std::map<std::string, Use> uses;  // by the name as the database compares it
    std::vector<std::string> order;
    const auto note = [&](const std::string& name, Target target, long long number) {
        auto [it, added] = uses.try_emplace(jet::foldKey(name), Use{name, target, number});
        if (added) order.push_back(it->first);
        ++(target == Target::Club ? it->second.clubs : it->second.players);
    };
    const char* missing = " NOT IN (SELECT NAME FROM vereine_national WHERE NAME IS NOT NULL)";
    jet::Recordset clubs = db.query(std::string("SELECT NUMMER, NATION FROM vereine WHERE NUMMER <> 0 AND (NATION IS NULL OR NATION") +
                                    missing + ") ORDER BY NUMMER");
    for (; !clubs.eof(); clubs.moveNext()) note(clubs.field(1).toString(), Target::Club, clubs.field(0).toInt());
    // Players of the transfer market carry its name as their nation.
    jet::Recordset players = db.query(std::string("SELECT NUMMER, NATION FROM spieler WHERE NATION IS NULL OR (NATION <> ") +
                                      jetsql::quote("TRANSFERMARKT") + " AND NATION" + missing + ") ORDER BY NUMMER");
    for (; !players.eof(); players.moveNext()) note(players.field(1).toString(), Target::Player, players.field(0).toInt());
    for (const std::string& key : order) {
        const Use& u = uses.at(key);
        std::string users;
        if (u.clubs) users = count(u.clubs, "Verein", "Vereine");
        if (u.players) users += (users.empty() ? "" : ", ") + count(u.players, "Spieler", "Spieler");
        const std::string name = u.name.empty() ? std::string("(leer)") : quoted(u.name);
        out.push_back({Kind::Nation, u.target, u.first, "Nation " + name + " ohne Nationalmannschaft (" + users + ")"});
    }
}

// Every team's value of some columns: value -> first team and how many use it.
struct InUse {
    Target target = Target::Club;
    long long first = 0;
    long long teams = 0;
};
std::map<long long, InUse> valuesInUse(jet::Database& db, std::initializer_list<const char*> columns) {
    std::map<long long, InUse> used;
    for (auto [table, target] : {std::pair{"vereine", Target::Club}, std::pair{"vereine_national", Target::Country}}) {
        std::string sql = "SELECT NUMMER";
        for (const char* c : columns) sql += std::string(", ") + c;
        jet::Recordset rs = db.query(sql + " FROM " + table + " ORDER BY NUMMER");
        for (; !rs.eof(); rs.moveNext())
            for (int i = 1; i < rs.fieldCount(); ++i) {
                if (rs.field(i).isNull()) continue;
                auto [it, added] = used.try_emplace(rs.field(i).toInt(), InUse{target, rs.field(0).toInt(), 0});
                ++it->second.teams;
            }
    }
    return used;
}

std::string teams(long long n) { return count(n, "Verwendung", "Verwendungen"); }

// One finding per model, naming every colour table that lacks it.
void jerseyColours(jet::Database& db, Findings& out) {
    const auto used = valuesInUse(db, {"TRIKOT_ART", "AUSWEICH_TRIKOT_ART", "TW_TRIKOT_ART"});
    std::map<long long, std::string> lacking;
    for (const jerseys::JerseySet& set : jerseys::kSets) {
        if (!db.hasTable(set.colourTable)) continue;
        std::set<long long> coloured;
        jet::Recordset rs = db.query(std::string("SELECT nummer, Trikot1, Trikot2, Hose, Streifen FROM ") + set.colourTable);
        for (; !rs.eof(); rs.moveNext()) {
            bool all = !rs.field(0).isNull();
            for (int i = 1; i <= 4; ++i) all = all && jerseys::parseColour(rs.field(i).toString()).has_value();
            if (all) coloured.insert(rs.field(0).toInt());
        }
        for (const auto& entry : used)
            if (!coloured.count(entry.first)) {
                std::string& tables = lacking[entry.first];
                tables += (tables.empty() ? "" : " und ") + std::string(set.colourTable);
            }
    }
    for (const auto& [model, tables] : lacking) {
        const InUse& use = used.at(model);
        out.push_back({Kind::JerseyColours, use.target, use.first,
                       "Trikotmodell " + str(model) + " ohne Farben in " + tables + " (" + teams(use.teams) + ")"});
    }
}

void crestFiles(jet::Database& db, const std::string& folder, Findings& out) {
    if (folder.empty()) return;
    for (const auto& [number, use] : valuesInUse(db, {"GRAFIK_NR"})) {
        std::error_code ec;
        const bool present = number >= 0 && number <= INT32_MAX &&
                             std::filesystem::is_regular_file(crests::crestFile(folder, static_cast<int>(number)), ec);
        if (!present)
            out.push_back({Kind::Crest, use.target, use.first,
                           "Wappennummer " + str(number) + " ohne Wappendatei (" + teams(use.teams) + ")"});
    }
}

// The declared length of a text column ("VARCHAR(50)" -> 50).
std::optional<long long> fieldLength(const std::vector<jet::ColumnInfo>& columns, const std::string& column) {
    for (const jet::ColumnInfo& c : columns) {
        if (jet::foldKey(c.name) != jet::foldKey(column)) continue;
        const auto open = c.declaredType.find('('), close = c.declaredType.find(')');
        if (open == std::string::npos || close == std::string::npos || close <= open + 1) return std::nullopt;
        try {
            return std::stoll(c.declaredType.substr(open + 1, close - open - 1));
        } catch (const std::exception&) {
            return std::nullopt;
        }
    }
    return std::nullopt;
}

void nameLengths(jet::Database& db, Findings& out) {
    struct Field {
        const char* table;
        Target target;
        const char* column;
        const char* label;
    };
    const Field fields[] = {
        {"vereine", Target::Club, "NAME", "Name"},
        {"vereine", Target::Club, "KURZNAME", "Kurzname"},
        {"vereine", Target::Club, "STADION_NAME", "Stadion"},
        {"vereine", Target::Club, "STADT", "Stadt"},
        {"vereine_national", Target::Country, "NAME", "Name"},
        {"vereine_national", Target::Country, "KURZNAME", "Kurzname"},
        {"vereine_national", Target::Country, "STADION_NAME", "Stadion"},
        {"vereine_national", Target::Country, "STADT", "Stadt"},
        {"spieler", Target::Player, "NAME", "Name"},
        {"spieler", Target::Player, "VORNAME", "Vorname"},
    };
    for (const Field& f : fields) {
        const auto limit = fieldLength(db.columns(f.table), f.column);
        if (!limit) continue;
        jet::Recordset rs = db.query(std::string("SELECT NUMMER, ") + f.column + ", Len(" + f.column + ") FROM " + f.table +
                                     " WHERE Len(" + f.column + ") > " + str(*limit) + " ORDER BY NUMMER");
        for (; !rs.eof(); rs.moveNext())
            out.push_back({Kind::NameLength, f.target, rs.field(0).toInt(),
                           std::string(f.label) + " " + quoted(rs.field(1).toString()) + " hat " + rs.field(2).toString() +
                               " Zeichen, das Feld " + str(*limit)});
    }
}

}  // namespace

const char* kindKey(Kind kind) {
    switch (kind) {
        case Kind::Squad: return "kader";
        case Kind::NoClub: return "ohne-verein";
        case Kind::TwoClubs: return "mehrere-vereine";
        case Kind::NumberTwice: return "doppelte-nummer";
        case Kind::Strength: return "staerke";
        case Kind::Nation: return "nation";
        case Kind::JerseyColours: return "trikotfarben";
        case Kind::Crest: return "wappen";
        case Kind::NameLength: return "namenslaenge";
    }
    return "";
}

const char* kindTitle(Kind kind) {
    switch (kind) {
        case Kind::Squad: return "Vereine ohne genau 20 Spieler";
        case Kind::NoClub: return "Spieler ohne Verein";
        case Kind::TwoClubs: return "Spieler in mehreren Vereinen";
        case Kind::NumberTwice: return "Doppelt vergebene Spielernummern";
        case Kind::Strength: return "Stärke über Maxstärke";
        case Kind::Nation: return "Nationen ohne Nationalmannschaft";
        case Kind::JerseyColours: return "Trikotmodelle ohne Farben";
        case Kind::Crest: return "Wappennummern ohne Wappendatei";
        case Kind::NameLength: return "Namen länger als ihr Feld";
    }
    return "";
}

std::vector<Finding> check(jet::Database& db, const std::string& crestFolder) {
    Findings out;
    squads(db, out);
    memberships(db, out);
    numbers(db, out);
    strengths(db, out);
    nations(db, out);
    jerseyColours(db, out);
    crestFiles(db, crestFolder, out);
    nameLengths(db, out);
    return out;
}

}  // namespace dbcheck
