#include "mainwindow/clubeditor.h"

#include <cctype>
#include <limits>

#include "common/jetdb.h"
#include "common/jetsql.h"
#include "common/progress.h"
#include "config/squadgen.h"
#include "foundation/dao.h"
#include "foundation/journal.h"

namespace clubeditor {

namespace {

std::string text(const jet::Recordset& rs, int column) {
    return column < rs.fieldCount() ? rs.field(column).toString() : std::string();
}

long long number(const jet::Recordset& rs, const char* column) {
    return rs.fieldIndex(column) >= 0 ? rs.field(column).toInt() : 0;
}

bool numberInUse(Dao& dao, long long n) {
    const std::string where = " WHERE NUMMER=" + std::to_string(n);
    return dao.query("SELECT NUMMER FROM vereine" + where).recordCount() > 0 ||
           dao.query("SELECT NUMMER FROM vereine_national" + where).recordCount() > 0;
}

}  // namespace

const char* tableOf(Kind kind) { return kind == KindNational ? "vereine_national" : "vereine"; }

Team showteam(Dao& dao, long long n, Kind kind) {
    Team team;
    const jet::Recordset& rs =
        dao.query(std::string("Select * From ") + tableOf(kind) + " WHERE nummer=" + std::to_string(n));
    if (rs.recordCount() == 0) return team;
    team.found = true;
    team.nummer = text(rs, 0);
    team.name = text(rs, 1);
    team.grafnr = text(rs, 3);
    if (kind == KindTransferMarket) return team;
    team.kurzname = text(rs, 2);
    team.stadion = text(rs, 7);
    team.stadt = text(rs, 8);
    if (kind == KindNational) {
        team.land = text(rs, 10);
        team.kontinent = text(rs, 11);
        team.sitz = text(rs, 12);
        team.steh = text(rs, 13);
    } else {
        team.land = text(rs, 9);
        team.sitz = text(rs, 10);
        team.steh = text(rs, 11);
    }
    team.trikot = {number(rs, "TRIKOT_ART"), number(rs, "AUSWEICH_TRIKOT_ART"), number(rs, "TW_TRIKOT_ART")};
    return team;
}

static Team newEntry(long long n, const char* longPrefix, const char* shortPrefix) {
    Team team;
    const std::string num = std::to_string(n);
    team.nummer = num;
    team.name = longPrefix + num;
    team.kurzname = shortPrefix + num;
    team.grafnr = "0";
    team.sitz = "0";
    team.steh = "0";
    return team;
}

Team showlandnew(long long n, const std::string& parentText) {
    Team team = newEntry(n, "Land", "L");
    team.kontinent = parentText;
    return team;
}

Team showteamnew(long long n, const std::string& parentText) {
    Team team = newEntry(n, "Team", "T");
    team.land = parentText;
    return team;
}

bool parseWholeNumber(const std::string& textIn, long long& value) {
    std::size_t b = 0, e = textIn.size();
    while (b < e && std::isspace(static_cast<unsigned char>(textIn[b]))) ++b;
    while (e > b && std::isspace(static_cast<unsigned char>(textIn[e - 1]))) --e;
    std::size_t i = b;
    bool negative = false;
    if (i < e && (textIn[i] == '-' || textIn[i] == '+')) negative = textIn[i++] == '-';
    if (i == e) return false;
    long long v = 0;
    for (; i < e; ++i) {
        const char c = textIn[i];
        if (c < '0' || c > '9') return false;
        v = v * 10 + (c - '0');
        if (v > std::numeric_limits<std::int32_t>::max() + 1LL) return false;
    }
    v = negative ? -v : v;
    if (v > std::numeric_limits<std::int32_t>::max() || v < std::numeric_limits<std::int32_t>::min()) return false;
    value = v;
    return true;
}

std::string check(Dao& dao, const SaveRequest& request) {
    const Team& t = request.team;
    const std::pair<const std::string*, const char*> fields[] = {
        {&t.nummer, "Teamnummer"}, {&t.grafnr, "Grafiknummer"}, {&t.sitz, "Sitzplätze"}, {&t.steh, "Stehplätze"}};
    for (const auto& [value, caption] : fields) {
        long long n = 0;
        if (!parseWholeNumber(*value, n))
            return std::string("Das Feld \u201E") + caption + "\u201C enthält keine ganze Zahl. Es wurde nichts gespeichert.";
    }
    long long n = 0;
    parseWholeNumber(t.nummer, n);
    if (request.kind == KindTransferMarket) return "Der Transfermarkt kann hier nicht gespeichert werden.";
    if (request.isNew) {
        if (n < 1) return "Die Teamnummer muss größer als 0 sein. Es wurde nichts gespeichert.";
        if (numberInUse(dao, n))
            return "Die Teamnummer " + std::to_string(n) + " ist schon vergeben. Es wurde nichts gespeichert.";
    } else if (n != request.number) {
        // The number is the row's key: changing it would write this entry over another one.
        return "Die Teamnummer eines gespeicherten Eintrags kann nicht geändert werden. Es wurde nichts gespeichert.";
    }
    return {};
}

SaveResult save(Dao& dao, const SaveRequest& request, ProgressSink& progress, const JerseyColours& colours) {
    const Team& t = request.team;
    long long n = 0, grafnr = 0, sitz = 0, steh = 0;
    if (!parseWholeNumber(t.nummer, n) || !parseWholeNumber(t.grafnr, grafnr) || !parseWholeNumber(t.sitz, sitz) ||
        !parseWholeNumber(t.steh, steh) || request.kind == KindTransferMarket)
        throw jet::Error("Die Eingaben wurden nicht geprüft.");
    const bool national = request.kind == KindNational;
    const std::string table = tableOf(request.kind);
    const std::string num = std::to_string(n);

    SaveResult result;
    result.number = n;
    result.key = (national ? "L" : "T") + num;

    jet::Transaction tx(dao.db());
    journal::Command journaled(dao.db(), national ? "Land speichern" : "Verein speichern");
    std::string oldName;
    if (request.isNew) {
        dao.execute("INSERT INTO " + table + " (NUMMER) VALUES(" + num + ");");
        if (!national) {
            squadgen::generate(dao.db(), n, t.land, squadgen::kSquadSize, &progress);
            result.playersCreated = squadgen::kSquadSize;
        }
    } else if (national) {
        const jet::Recordset& rs = dao.query("SELECT NAME FROM vereine_national WHERE NUMMER=" + num);
        if (rs.recordCount() > 0) oldName = rs.field(0).toString();
    }

    std::string sql = "Update " + table + " SET NAME=" + jetsql::quote(t.name) + ", KURZNAME=" +
                      jetsql::quote(t.kurzname) + ", GRAFIK_NR=" + std::to_string(grafnr) +
                      ", STADION_NAME=" + jetsql::quote(t.stadion) + ", STADT=" + jetsql::quote(t.stadt);
    if (national) {
        if (!request.isNew && oldName != t.name) {
            const std::string set = " SET NATION=" + jetsql::quote(t.name) + " WHERE NATION=" + jetsql::quote(oldName);
            dao.execute("UPDATE spieler" + set);
            dao.execute("UPDATE vereine" + set);
        }
        sql += ", KONTINENT=" + jetsql::quote(t.kontinent) + ", NATION=" + jetsql::quote(t.name);
    } else {
        sql += ", NATION=" + jetsql::quote(t.land);
    }
    sql += ", STADION_SITZPL=" + std::to_string(sitz) + ", STADION_STEHPL=" + std::to_string(steh) +
           ", TRIKOT_ART=" + std::to_string(t.trikot[0]) + ", TW_TRIKOT_ART=" + std::to_string(t.trikot[2]) +
           ", AUSWEICH_TRIKOT_ART=" + std::to_string(t.trikot[1]) + ", AUSWEICH_TW_TRIKOT_ART=0 WHERE NUMMER=" + num;
    dao.execute(sql);
    if (colours) colours(dao.db(), n, table.c_str());
    tx.commit();
    return result;
}

}  // namespace clubeditor
