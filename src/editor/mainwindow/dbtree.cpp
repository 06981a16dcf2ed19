#include "mainwindow/dbtree.h"

#include <exception>
#include <set>

#include "common/jetsql.h"
#include "common/progress.h"
#include "config/squadgen.h"
#include "foundation/dao.h"
#include "foundation/schema.h"

namespace dbtree {

namespace {

std::string describe(const char* step, const std::exception& e) { return std::string(step) + ": " + e.what(); }

// Runs one step of the build; a failure is recorded and the build goes on.
template <typename F>
void step(Tree& tree, const char* what, F&& f) {
    try {
        f();
    } catch (const std::exception& e) {
        tree.errors.push_back(describe(what, e));
    }
}

bool isDigits(std::string_view s) {
    if (s.empty()) return false;
    for (char c : s)
        if (c < '0' || c > '9') return false;
    return true;
}

}  // namespace

long long leadingNumber(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
    long long value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        if (value > 100000000000000000LL) break;  // far beyond any key; stop before overflow
        value = value * 10 + (text[i] - '0');
    }
    return negative ? -value : value;
}

KeyInfo classifyKey(std::string_view key) {
    KeyInfo info;
    if (key.size() < 2) return info;
    const char kind = key.front();
    std::string_view rest = key.substr(1);
    if (key.back() == '_') {
        rest.remove_suffix(1);
        if (!isDigits(rest)) return info;
        if (kind == 'L') info.kind = KeyKind::NewCountry;
        else if (kind == 'T') info.kind = KeyKind::NewClub;
        else return info;
        info.number = leadingNumber(rest);
        return info;
    }
    // Only plain non-negative numbers: "L-1" (the root) and the continents match nothing.
    if (!isDigits(rest)) return info;
    info.number = leadingNumber(rest);
    if (kind == 'T') info.kind = info.number == 0 ? KeyKind::TransferMarket : KeyKind::Club;
    else if (kind == 'L') info.kind = KeyKind::Country;
    return info;
}

Tree load_dbteam(Dao& dao, ProgressSink& progress) {
    Tree tree;
    tree.nodes.push_back({kRootKey, "Kickora", "", ImageCountry, ""});

    step(tree, "Transfermarkt", [&] {
        jet::Recordset& rs = dao.query("SELECT nummer,name FROM vereine WHERE nummer=0", 1);
        if (rs.recordCount() == 0) {
            progress.status("Erstelle Transfermarkt...");
            try {
                jet::Transaction tx(dao.db());
                dao.execute("INSERT INTO vereine (NUMMER,NAME,GRAFIK_NR,STAERKE,STARTPLATZ) "
                            "VALUES (0,'TRANSFERMARKT',999,'NULL','NULL')");
                squadgen::generate(dao.db(), 0, "TRANSFERMARKT", kTransferMarketPlayers, &progress);
                tx.commit();
            } catch (...) {
                progress.status("");
                throw;
            }
            tree.transferMarketCreated = true;
            tree.nodes.push_back({kTransferMarketKey, "TRANSFERMARKT", kRootKey, ImageClub, ""});
            progress.status("");
        } else {
            for (; !rs.eof(); rs.moveNext())
                tree.nodes.push_back({"T" + rs.field(0).toString(), rs.field(1).toString(), kRootKey, ImageClub, ""});
        }
    });

    std::set<std::string> continents;
    for (const char* continent : schema::kContinents) {
        tree.nodes.push_back({continent, continent, "", ImageContinent, ""});
        continents.insert(continent);
    }

    step(tree, "Länder", [&] {
        if (dao.query("SELECT DISTINCT kontinent FROM vereine_national ORDER BY kontinent").recordCount() == 0) return;
        // The country rows are copied out: the club query of each country reuses the shared sets.
        struct Country {
            std::string number, name, continent, nation;
        };
        std::vector<Country> countries;
        jet::Recordset& rs = dao.query("SELECT DISTINCT nummer,name,kontinent,nation FROM vereine_national ORDER BY name");
        for (; !rs.eof(); rs.moveNext())
            countries.push_back({rs.field(0).toString(), rs.field(1).toString(), rs.field(2).toString(),
                                 rs.field(3).toString()});
        for (const Country& c : countries) {
            const std::string key = "L" + c.number;
            // A country on no known continent gets no node, and its clubs have no parent either.
            const bool placed = continents.count(c.continent) > 0;
            if (placed) tree.nodes.push_back({key, c.name, c.continent, ImageCountry, c.nation});
            tree.lists.countries.push_back(c.name);
            if (c.nation != c.name) tree.lists.countries.push_back(c.nation);
            step(tree, "Vereine", [&] {
                jet::Recordset& clubs =
                    dao.query("SELECT nummer,name FROM vereine WHERE nation=" + jetsql::quote(c.name) + " ORDER BY name", 1);
                for (; !clubs.eof(); clubs.moveNext()) {
                    const std::string number = clubs.field(0).toString();
                    const std::string name = clubs.field(1).toString();
                    if (placed) tree.nodes.push_back({"T" + number, name, key, ImageClub, ""});
                    tree.lists.clubs.push_back({name + " (" + c.nation + ")", clubs.field(0).toInt()});
                }
            });
        }
    });
    return tree;
}

}  // namespace dbtree
