#include "mainwindow/find.h"

#include <sqlite3.h>

#include <algorithm>
#include <charconv>
#include <unordered_map>

#include "common/jetdb.h"
#include "common/jetsql.h"
#include "common/collation.h"
#include "common/textfold.h"
#include "mainwindow/dbtree.h"

namespace find {

namespace {

// kfold(text): the folded text, so that SQL can compare names the way the find bar does.
void kfold(sqlite3_context* ctx, int, sqlite3_value** argv) {
    const auto* text = reinterpret_cast<const char*>(sqlite3_value_text(argv[0]));
    if (!text) {
        sqlite3_result_null(ctx);
        return;
    }
    const std::string folded = textfold::fold(std::string_view(text, static_cast<std::size_t>(sqlite3_value_bytes(argv[0]))));
    sqlite3_result_text(ctx, folded.data(), static_cast<int>(folded.size()), SQLITE_TRANSIENT);
}

// kfind(text, needle): 1 when the folded text contains the needle (given folded), else 0.
void kfind(sqlite3_context* ctx, int, sqlite3_value** argv) {
    const auto* text = reinterpret_cast<const char*>(sqlite3_value_text(argv[0]));
    const auto* needle = reinterpret_cast<const char*>(sqlite3_value_text(argv[1]));
    if (!text || !needle) {
        sqlite3_result_int(ctx, 0);
        return;
    }
    const std::string_view t(text, static_cast<std::size_t>(sqlite3_value_bytes(argv[0])));
    const std::string_view n(needle, static_cast<std::size_t>(sqlite3_value_bytes(argv[1])));
    thread_local std::string folded;  // reused: one allocation for a whole scan
    textfold::foldInto(t, folded);
    sqlite3_result_int(ctx, folded.find(n) != std::string::npos ? 1 : 0);
}

void registerFold(jet::Database& db) {
    sqlite3_create_function_v2(db.handle(), "kfold", 1, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr, kfold, nullptr,
                               nullptr, nullptr);
    sqlite3_create_function_v2(db.handle(), "kfind", 2, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr, kfind, nullptr,
                               nullptr, nullptr);
}

// The club membership (transfer market included) before the national team's.
constexpr const char* kTeamColumns =
    "(SELECT min(vs.verein) FROM vereinspieler vs INNER JOIN vereine v ON v.NUMMER = vs.verein WHERE vs.spieler = s.NUMMER), "
    "(SELECT min(vs.verein) FROM vereinspieler vs INNER JOIN vereine_national n ON n.NUMMER = vs.verein "
    "WHERE vs.spieler = s.NUMMER)";

}  // namespace

int TreeIndex::add(std::string_view key, std::string_view text, int parent) {
    const dbtree::KeyKind kind = dbtree::classifyKey(key).kind;
    const bool country = kind == dbtree::KeyKind::Country || kind == dbtree::KeyKind::NewCountry;
    folded_.push_back(textfold::fold(text));
    parents_.push_back(parent);
    matchable_.push_back(kind != dbtree::KeyKind::None);
    country_.push_back(country);
    return static_cast<int>(parents_.size()) - 1;
}

TreeIndex::View TreeIndex::filter(std::string_view needle) const {
    const std::size_t n = size();
    View view{std::vector<char>(n, 1), std::vector<char>(n, 0)};
    if (needle.empty()) return view;
    const std::string folded = textfold::fold(needle);
    // 0 hidden, 1 shown by its own match or one below it, 2 shown under a matching country.
    std::vector<char> reason(n, 0);
    for (std::size_t i = 0; i < n; ++i) {
        if (matchable_[i] && folded_[i].find(folded) != std::string::npos) reason[i] = 1;
        else if (parents_[i] >= 0 && country_[parents_[i]] && reason[parents_[i]] == 1) reason[i] = 2;
    }
    for (std::size_t i = n; i-- > 0;) {
        const int p = parents_[i];
        if (reason[i] == 1 && p >= 0) {
            reason[p] = 1;
            view.expanded[p] = 1;
        } else if (reason[i] == 2 && p >= 0 && reason[p] == 0) {
            reason[p] = 1;
        }
    }
    for (std::size_t i = 0; i < n; ++i) view.visible[i] = reason[i] != 0;
    return view;
}

std::string PlayerHit::key() const {
    if (team < 0) return {};
    return (national ? "L" : "T") + std::to_string(team);
}

std::vector<PlayerHit> searchPlayers(jet::Database& db, const PlayerQuery& q) {
    registerFold(db);
    std::string where = "s.[STÄRKE] BETWEEN " + std::to_string(q.strengthMin) + " AND " + std::to_string(q.strengthMax) +
                        " AND s.[MAX_STÄRKE] BETWEEN " + std::to_string(q.maxStrengthMin) + " AND " +
                        std::to_string(q.maxStrengthMax);
    const std::string text = textfold::fold(q.text);
    if (!text.empty()) {
        const std::string needle = jetsql::quote(text);
        where += " AND (kfind(s.NAME, " + needle + ") = 1 OR kfind(s.VORNAME, " + needle + ") = 1)";
    }
    if (!q.nation.empty()) where += " AND s.NATION = " + jetsql::quote(q.nation);
    if (q.position >= 0) where += " AND s.ART = " + std::to_string(q.position);

    std::vector<PlayerHit> hits;
    jet::Recordset rs = db.query(std::string("SELECT s.NUMMER, s.NAME, s.VORNAME, s.NATION, s.ART, s.[STÄRKE], s.[MAX_STÄRKE], ") +
                                 kTeamColumns + " FROM spieler s WHERE " + where);
    hits.reserve(static_cast<std::size_t>(rs.recordCount()));
    for (; !rs.eof(); rs.moveNext()) {
        PlayerHit h;
        h.number = rs.field(0).toInt();
        h.name = rs.field(1).toString();
        h.vorname = rs.field(2).toString();
        h.nation = rs.field(3).toString();
        h.art = rs.field(4).toInt();
        h.staerke = rs.field(5).toInt();
        h.maxStaerke = rs.field(6).toInt();
        if (!rs.field(7).isNull()) h.team = rs.field(7).toInt();
        else if (!rs.field(8).isNull()) h.team = rs.field(8).toInt(), h.national = true;
        hits.push_back(std::move(h));
    }
    if (!hits.empty()) {
        std::unordered_map<long long, std::string> clubs, countries;
        for (jet::Recordset c = db.query("SELECT NUMMER, NAME FROM vereine"); !c.eof(); c.moveNext())
            clubs.emplace(c.field(0).toInt(), c.field(1).toString());
        for (jet::Recordset c = db.query("SELECT NUMMER, NAME FROM vereine_national"); !c.eof(); c.moveNext())
            countries.emplace(c.field(0).toInt(), c.field(1).toString());
        for (PlayerHit& h : hits) {
            const auto& names = h.national ? countries : clubs;
            if (auto it = names.find(h.team); it != names.end()) h.teamName = it->second;
        }
    }
    // Folded once per hit: comparing folds would fold again on every comparison.
    std::vector<std::pair<std::string, std::size_t>> order;
    order.reserve(hits.size());
    for (std::size_t i = 0; i < hits.size(); ++i)
        order.emplace_back(textfold::fold(hits[i].name) + '\x01' + textfold::fold(hits[i].vorname), i);
    std::sort(order.begin(), order.end(), [&](const auto& a, const auto& b) {
        if (const int c = a.first.compare(b.first)) return c < 0;
        if (const int c = collation::compare(hits[a.second].name, hits[b.second].name)) return c < 0;
        return hits[a.second].number < hits[b.second].number;
    });
    std::vector<PlayerHit> sorted;
    sorted.reserve(hits.size());
    for (const auto& o : order) sorted.push_back(std::move(hits[o.second]));
    hits.swap(sorted);
    return hits;
}

std::string playerKey(jet::Database& db, long long player) {
    jet::Recordset rs = db.query(std::string("SELECT ") + kTeamColumns + " FROM spieler s WHERE s.NUMMER = " + std::to_string(player));
    if (rs.eof()) return {};
    if (!rs.field(0).isNull()) return "T" + rs.field(0).toString();
    if (!rs.field(1).isNull()) return "L" + rs.field(1).toString();
    return {};
}

bool parseRange(std::string_view text, int limit, int& lo, int& hi) {
    const std::size_t dash = text.find('-');
    if (dash == std::string_view::npos) return false;
    const auto number = [&](std::string_view part, int& out) {
        if (part.empty()) return false;
        const auto [end, err] = std::from_chars(part.data(), part.data() + part.size(), out);
        return err == std::errc() && end == part.data() + part.size() && out >= 0 && out <= limit;
    };
    int a = 0, b = 0;
    if (!number(text.substr(0, dash), a) || !number(text.substr(dash + 1), b) || a > b) return false;
    lo = a;
    hi = b;
    return true;
}

}  // namespace find
