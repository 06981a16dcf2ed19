#include "zsource.h"

#include "common/fileio.h"
#include "common/jetdb.h"
#include "common/jetimport.h"
#include "common/paths.h"
#include "common/random.h"

#include <sqlite3.h>

#include <algorithm>
#include <charconv>
#include <map>
#include <set>
#include <unordered_map>
#include <unordered_set>

#include <unistd.h>

namespace fs = std::filesystem;

namespace zexp {

namespace {

constexpr const char* kColourColumns =
    "HEIMTRIKOTHAUPTFARBE, HEIMTRIKOTNEBENFARBE, HEIMHOSEHAUPTFARBE, HEIMHOSENEBENFARBE, "
    "HEIMSTUTZENHAUPTFARBE, HEIMSTUTZENNEBENFARBE, AUSWAERTSTRIKOTHAUPTFARBE, AUSWAERTSTRIKOTNEBENFARBE, "
    "AUSWAERTSHOSEHAUPTFARBE, AUSWAERTSHOSENEBENFARBE, AUSWAERTSSTUTZENHAUPTFARBE, AUSWAERTSSTUTZENNEBENFARBE";

std::optional<std::string> optText(const jet::Value& v) {
    if (v.isNull()) return std::nullopt;
    return v.toString();
}
std::optional<std::int64_t> optInt(const jet::Value& v) {
    if (v.isNull()) return std::nullopt;
    return v.toInt();
}

std::string trimmed(std::string_view s) {
    const auto b = s.find_first_not_of(" \t");
    if (b == std::string_view::npos) return {};
    const auto e = s.find_last_not_of(" \t");
    return std::string(s.substr(b, e - b + 1));
}

std::string num(Id v) { return std::to_string(v); }

// A fresh folder for the temporary conversion of a Jet source, removed when reading is done.
struct TempFolder {
    fs::path path;
    TempFolder() {
        std::error_code ec;
        for (int i = 0; path.empty() || fs::exists(path); ++i)
            path = fs::temp_directory_path(ec) / ("zexporter-" + std::to_string(::getpid()) + "-" + std::to_string(i));
        fs::create_directories(path, ec);
        if (ec) throw jet::Error("Temporärer Ordner kann nicht angelegt werden: " + path.string());
    }
    ~TempFolder() {
        std::error_code ec;
        fs::remove_all(path, ec);
    }
};

}  // namespace

std::optional<fs::path> defaultDatabase(const fs::path& programDir) {
    const fs::path f = paths::findFile(programDir / "zentor4.mdb");
    std::error_code ec;
    if (!fs::is_regular_file(f, ec)) return std::nullopt;
    return f;
}

const char* positionWord(std::int64_t position) {
    static const char* const kWords[4] = {"Tor", "Abwehr", "Mittelfeld", "Sturm"};
    return position >= 0 && position <= 3 ? kWords[position] : nullptr;
}

const char* continentName(Id continent) {
    static const char* const kNames[6] = {"Europa", "Afrika", "Asien", "Südamerika", "Mittel-Nordamerika", "Ozeanien"};
    return continent >= 1 && continent <= 6 ? kNames[continent - 1] : nullptr;
}

std::string Counters::nationalteamsText() const { return "Nationalteams:" + std::to_string(nationalteams); }
std::string Counters::vereineText() const { return "Vereine:" + std::to_string(vereine); }
std::string Counters::spielerText() const { return "Spieler:" + std::to_string(spieler); }
std::string Counters::amateurvereineText() const { return "Amateurvereine:" + std::to_string(amateurvereine); }

std::vector<Id> parsePlayerList(std::string_view list) {
    std::vector<Id> ids;
    std::size_t pos = 0;
    while (pos <= list.size()) {
        auto end = list.find(',', pos);
        if (end == std::string_view::npos) end = list.size();
        const std::string part = trimmed(list.substr(pos, end - pos));
        Id v = 0;
        if (!part.empty()) {
            auto [p, ec] = std::from_chars(part.data(), part.data() + part.size(), v);
            if (ec == std::errc() && p == part.data() + part.size()) ids.push_back(v);
        }
        pos = end + 1;
    }
    return ids;
}

struct Source::Impl {
    std::vector<Country> countries;
    std::vector<League> leagues;
    std::vector<Club> clubs;
    std::vector<Team> teams;
    std::vector<Stadium> stadiums;
    std::vector<Player> players;
    Counters counts;

    std::unordered_map<Id, std::size_t> countryById, teamById, stadiumById, nationalById;
    std::map<std::pair<Id, Id>, std::size_t> teamByIdLand;  // (team, country)
    std::unordered_map<Id, std::size_t> clubByFirst, clubByAmateur;
    std::unordered_map<Id, std::vector<std::size_t>> playersById, playersByCountry;
    std::vector<TreeNode> tree;
    std::unordered_map<std::string, std::size_t> nodeByKey;

    const Team* teamOf(Id id, Id land) const {
        auto it = teamByIdLand.find({id, land});
        return it == teamByIdLand.end() ? nullptr : &teams[it->second];
    }
    bool addNode(TreeNode n) {
        if (!n.parentKey.empty() && !nodeByKey.count(n.parentKey)) return false;  // no such parent
        if (!nodeByKey.emplace(n.key, tree.size()).second) return false;          // keys are unique
        tree.push_back(std::move(n));
        return true;
    }
    void load(jet::Database& db);
    void buildTree();
};

void Source::Impl::load(jet::Database& db) {
    {
        auto rs = db.query("Select land_id, Land_Name, kontinent From land ORDER BY Land_NAME");
        for (; !rs.eof(); rs.moveNext()) {
            Country c{rs.field(0).toInt(), rs.field(1).toString(), rs.field(2).toInt()};
            countryById.emplace(c.id, countries.size());
            countries.push_back(std::move(c));
        }
    }
    {
        auto rs = db.query("SELECT LIGA_ID, NAME, LAND FROM LIGA ORDER BY LAND, LIGA_ID");
        for (; !rs.eof(); rs.moveNext())
            leagues.push_back({rs.field(0).toInt(), rs.field(1).toString(), rs.field(2).toInt()});
    }
    {
        auto rs = db.query(std::string("SELECT VEREIN_ID, LAND_ID, NAME, KURZFORM, KUERZEL, STADTNAME, STADION, "
                                       "STADIONAMATEURE, PROFITEAM, AMATEURTEAM, ") +
                           kColourColumns + " FROM VEREIN ORDER BY NAME");
        for (; !rs.eof(); rs.moveNext()) {
            Club c;
            c.id = rs.field(0).toInt();
            c.country = rs.field(1).toInt();
            c.name = rs.field(2).toString();
            c.kurzform = rs.field(3).toString();
            c.kuerzel = rs.field(4).toString();
            c.city = rs.field(5).toString();
            c.stadium = rs.field(6).toInt();
            c.amateurStadium = rs.field(7).toString();
            c.firstTeam = rs.field(8).toInt();
            c.amateurTeam = rs.field(9).toInt();
            for (int i = 0; i < 12; ++i) c.colours[i] = rs.field(10 + i).toInt();
            const std::size_t idx = clubs.size();
            clubByFirst.emplace(c.firstTeam, idx);
            clubByAmateur.emplace(c.amateurTeam, idx);
            nationalById.emplace(c.id, idx);
            clubs.push_back(std::move(c));
        }
    }
    {
        auto rs = db.query("SELECT TEAM_ID, LAND, LIGA, spielerliste FROM TEAM");
        for (; !rs.eof(); rs.moveNext()) {
            Team t{rs.field(0).toInt(), rs.field(1).toInt(), rs.field(2).toInt(), rs.field(3).toString()};
            teamById.emplace(t.id, teams.size());
            teamByIdLand.emplace(std::make_pair(t.id, t.country), teams.size());
            teams.push_back(std::move(t));
        }
    }
    {
        auto rs = db.query(
            "SELECT STADION_ID, NAME, LAUFBAHN, BLOCK_A_RAENGE, BLOCK_B_RAENGE, BLOCK_C_RAENGE, BLOCK_D_RAENGE, "
            "BLOCK_E_RAENGE, BLOCK_F_RAENGE, BLOCK_G_RAENGE, BLOCK_H_RAENGE, BLOCK_I_RAENGE, BLOCK_J_RAENGE, "
            "BLOCK_K_RAENGE, BLOCK_L_RAENGE, BLOCK_M_RAENGE, BLOCK_N_RAENGE FROM STADION");
        for (; !rs.eof(); rs.moveNext()) {
            Stadium s;
            s.id = rs.field(0).toInt();
            s.name = rs.field(1).toString();
            s.laufbahn = rs.field(2).toInt();
            for (int i = 0; i < 14; ++i) s.blocks[i] = rs.field(3 + i).toInt();
            stadiumById.emplace(s.id, stadiums.size());
            stadiums.push_back(std::move(s));
        }
    }
    {
        auto rs = db.query(
            "SELECT SPIELER_ID, VORNAME, NAME, KNSTLRNAME, LAND.LAND_NAME, MANNSCHAFTSTEIL, RUECKENNUMMER, "
            "VERTRAGSLAUFZEIT, SPIELINTELLIGENZ+ZWEIKAMPF+KOPFBALL+TECHNIK+SCHUSSKRAFT+SCHUSSGENAUIGKEIT+SCHNELLIGKEIT "
            "AS tes, BALLSICHERHEIT+HERAUSLAUFEN+LUFTHOHEIT+PARADEN+REFLEXE AS tet, TYPUS,HAARTYPE, HAARFARBE, "
            "SPIELER.STAAT FROM Spieler INNER JOIN LAND ON SPIELER.STAAT = LAND.LAND_ID ORDER BY MANNSCHAFTSTEIL, NAME;");
        players.reserve(static_cast<std::size_t>(rs.recordCount()));
        for (; !rs.eof(); rs.moveNext()) {
            Player p;
            p.id = rs.field(0).toInt();
            p.vorname = optText(rs.field(1));
            p.name = optText(rs.field(2));
            p.stageName = trimmed(rs.field(3).toString());
            p.countryName = optText(rs.field(4));
            p.position = optInt(rs.field(5));
            p.shirt = optInt(rs.field(6));
            p.contract = optInt(rs.field(7));
            p.tes = optInt(rs.field(8));
            p.tet = optInt(rs.field(9));
            p.typus = optInt(rs.field(10));
            p.hairType = optInt(rs.field(11));
            p.hairColour = optInt(rs.field(12));
            p.staat = rs.field(13).toInt();
            playersById[p.id].push_back(players.size());
            playersByCountry[p.staat].push_back(players.size());
            players.push_back(std::move(p));
        }
    }
    auto count = [&](const char* sql) { return static_cast<long>(db.query(sql).field(0).toInt()); };
    counts.nationalteams = count("SELECT count(*) FROM Land");
    counts.vereine = count("SELECT count(*) FROM verein");
    counts.spieler = count("SELECT count(*) FROM spieler");
    counts.amateurvereine = count("SELECT count(*) FROM verein WHERE AMATEURTEAM<>0");
    buildTree();
}

void Source::Impl::buildTree() {
    addNode({"Zentor", "Zentor", "", NodeKind::Root, 0});
    for (Id k = 1; k <= 6; ++k) addNode({"K" + num(k), continentName(k), "Zentor", NodeKind::Continent, k});

    std::unordered_map<Id, std::vector<const League*>> leaguesByCountry;
    for (const League& l : leagues) leaguesByCountry[l.country].push_back(&l);
    std::unordered_map<Id, std::vector<const Club*>> clubsByCountry;  // by name
    for (const Club& c : clubs) clubsByCountry[c.country].push_back(&c);

    for (const Country& c : countries) {
        const std::string land = "L" + num(c.id);
        addNode({land, c.name, "K" + num(c.continent), NodeKind::Country, c.id});
        addNode({"P0" + land, "(keine Liga)", land, NodeKind::NoLeague, c.id});
        for (const League* l : leaguesByCountry[c.id])
            addNode({"P" + num(l->id) + land, l->name, land, NodeKind::League, c.id});
        const auto& own = clubsByCountry[c.id];
        for (bool amateur : {false, true}) {
            for (const Club* club : own) {
                const Id nr = amateur ? club->amateurTeam : club->firstTeam;
                if (nr == 0) continue;
                const Team* t = teamOf(nr, club->country);
                if (!t) continue;
                addNode({"T" + num(nr), amateur ? club->name + " II" : club->name, "P" + num(t->league) + land,
                         NodeKind::Team, nr});
            }
        }
    }
}

Source::Source() : d(std::make_unique<Impl>()) {}
Source::~Source() = default;
Source::Source(Source&&) noexcept = default;
Source& Source::operator=(Source&&) noexcept = default;

Source Source::read(jet::Database& db) {
    Source s;
    s.d->load(db);
    return s;
}

Source Source::open(const fs::path& file) {
    switch (jetimport::detect(file)) {
    case jetimport::FileKind::Missing:
        throw jet::Error("Die Datenbank wurde nicht gefunden: " + file.string());
    case jetimport::FileKind::Other:
        throw jet::Error("Die Datei ist keine Zentor-Datenbank: " + file.string());
    case jetimport::FileKind::Sqlite: {
        jet::Database db = jet::Database::open(file, false, true);
        return read(db);
    }
    case jetimport::FileKind::Jet: break;
    }
    // Jet: converted once into a temporary SQLite file, read, and thrown away.
    TempFolder tmp;
    const fs::path converted = tmp.path / "zentor.sqlite";
    jetimport::importFile(file, converted);
    jet::Database db = jet::Database::open(converted, false, true);
    Source s = read(db);
    db.close();
    return s;
}

Source Source::openBytes(std::string_view bytes) {
    static constexpr std::string_view kSqliteMagic{"SQLite format 3\0", 16};
    if (bytes.substr(0, kSqliteMagic.size()) == kSqliteMagic) {
        jet::Database db = jet::Database::openMemory();
        // Read-only over the caller's bytes: nothing is copied, and nothing may write them.
        auto* data = reinterpret_cast<unsigned char*>(const_cast<char*>(bytes.data()));
        const auto size = static_cast<sqlite3_int64>(bytes.size());
        if (sqlite3_deserialize(db.handle(), "main", data, size, size, SQLITE_DESERIALIZE_READONLY) != SQLITE_OK)
            throw jet::Error("Die Zentor-Datenbank kann nicht gelesen werden.");
        return read(db);
    }
    TempFolder tmp;
    const fs::path file = tmp.path / "zentor.mdb";
    if (!fileio::replaceFile(file, bytes))
        throw jet::Error("Die Datei " + file.string() + " kann nicht geschrieben werden.");
    return open(file);
}

const std::vector<Country>& Source::countries() const { return d->countries; }
const std::vector<League>& Source::leagues() const { return d->leagues; }
const std::vector<Club>& Source::clubs() const { return d->clubs; }
const std::vector<Player>& Source::players() const { return d->players; }

const Country* Source::country(Id id) const {
    auto it = d->countryById.find(id);
    return it == d->countryById.end() ? nullptr : &d->countries[it->second];
}
const Team* Source::team(Id id) const {
    auto it = d->teamById.find(id);
    return it == d->teamById.end() ? nullptr : &d->teams[it->second];
}
const Stadium* Source::stadium(Id id) const {
    auto it = d->stadiumById.find(id);
    return it == d->stadiumById.end() ? nullptr : &d->stadiums[it->second];
}

const std::vector<TreeNode>& Source::tree() const { return d->tree; }
const TreeNode* Source::node(std::string_view key) const {
    auto it = d->nodeByKey.find(std::string(key));
    return it == d->nodeByKey.end() ? nullptr : &d->tree[it->second];
}
Counters Source::counters() const { return d->counts; }

std::optional<std::string> Source::countryName(Id id) const {
    const Country* c = country(id);
    if (!c) return std::nullopt;
    return c->name;
}

std::optional<ClubRow> Source::firstTeamClub(Id team) const {
    auto it = d->clubByFirst.find(team);
    if (it == d->clubByFirst.end()) return std::nullopt;
    const Club& c = d->clubs[it->second];
    const Country* land = country(c.country);
    if (!land) return std::nullopt;
    ClubRow r;
    r.countryName = land->name;
    r.longName = c.name;
    r.shortName = c.kurzform;
    r.city = c.city;
    // A missing stadium row leaves the name empty instead of hiding the whole club.
    if (const Stadium* s = stadium(c.stadium)) r.stadiumName = s->name;
    r.colours = c.colours;
    r.stadium = c.stadium;
    return r;
}

std::optional<ClubRow> Source::amateurClub(Id team) const {
    auto it = d->clubByAmateur.find(team);
    if (it == d->clubByAmateur.end()) return std::nullopt;
    const Club& c = d->clubs[it->second];
    const Country* land = country(c.country);
    if (!land) return std::nullopt;
    ClubRow r;
    r.amateur = true;
    r.countryName = land->name;
    r.longName = c.name + "2";
    r.shortName = c.kurzform + "2";
    r.city = c.city;
    r.stadiumName = c.amateurStadium;
    r.colours = c.colours;
    r.stadium = c.stadium;
    return r;
}

std::optional<NationalRow> Source::nationalTeam(Id id) const {
    auto it = d->nationalById.find(id);
    if (it == d->nationalById.end()) return std::nullopt;
    const Club& c = d->clubs[it->second];
    const Country* land = country(c.country);
    if (!land) return std::nullopt;
    return NationalRow{land->name, c.name, c.kuerzel, c.colours};
}

std::optional<Capacity> Source::stadiumCapacity(Id id) const {
    const Stadium* s = stadium(id);
    if (!s) return std::nullopt;
    return zexp::stadiumCapacity(s->laufbahn, s->blocks);
}

std::vector<const Player*> Source::teamPlayers(Id teamNr, ListState* state) const {
    std::vector<const Player*> out;
    const Team* t = team(teamNr);
    if (state) *state = !t ? ListState::NoTeam : trimmed(t->playerList).empty() ? ListState::Blank : ListState::Listed;
    if (!t) return out;
    std::vector<std::size_t> rows;
    std::unordered_set<Id> seen;
    for (Id id : parsePlayerList(t->playerList)) {
        if (!seen.insert(id).second) continue;
        auto it = d->playersById.find(id);
        if (it != d->playersById.end()) rows.insert(rows.end(), it->second.begin(), it->second.end());
    }
    std::sort(rows.begin(), rows.end());  // the players' query order
    out.reserve(rows.size());
    for (auto r : rows) out.push_back(&d->players[r]);
    return out;
}

std::vector<const Player*> Source::countryPlayers(Id id) const {
    std::vector<const Player*> out;
    auto it = d->playersByCountry.find(id);
    if (it == d->playersByCountry.end()) return out;
    for (auto r : it->second) out.push_back(&d->players[r]);
    return out;
}

std::vector<const League*> Source::leaguesOf(Id id, std::optional<Id> league) const {
    std::vector<const League*> out;
    for (const League& l : d->leagues)
        if (l.country == id && (!league || l.id == *league)) out.push_back(&l);
    return out;
}

std::vector<IndexRow> Source::leagueTeams(Id id, std::optional<Id> league, bool amateur) const {
    const auto ls = leaguesOf(id, league);
    std::vector<IndexRow> rows;
    if (ls.empty()) return rows;
    for (const Club& c : d->clubs) {
        const Id nr = amateur ? c.amateurTeam : c.firstTeam;
        if (nr == 0) continue;
        const Team* t = d->teamOf(nr, c.country);
        if (!t) continue;
        for (const League* l : ls)
            if (l->id == t->league) rows.push_back({nr, amateur ? c.name + " II" : c.name, l->name});
    }
    std::stable_sort(rows.begin(), rows.end(), [](const IndexRow& a, const IndexRow& b) { return a.team < b.team; });
    return rows;
}

std::vector<IndexRow> Source::noLeagueTeams(Id id, bool amateur) const {
    std::vector<IndexRow> rows;
    for (const Club& c : d->clubs) {
        if (c.country != id) continue;
        const Id nr = amateur ? c.amateurTeam : c.firstTeam;
        if (nr == 0) continue;
        const Team* t = d->teamOf(nr, c.country);
        if (!t || t->league != 0) continue;
        rows.push_back({nr, amateur ? c.name + " II" : c.name, {}});
    }
    std::stable_sort(rows.begin(), rows.end(), [](const IndexRow& a, const IndexRow& b) { return a.team < b.team; });
    return rows;
}

namespace {

TeamView viewOf(const std::string& longName, const std::string& shortName, const std::string& stadium,
                const std::string& city, const std::string& country, const std::array<std::int64_t, 12>& colours) {
    TeamView v{longName, shortName, stadium, city, country, {}, {}, 0, 0};
    for (int i = 0; i < 6; ++i) {
        v.home[i] = colourTriple(colours[i]);
        v.away[i] = colourTriple(colours[6 + i]);
    }
    return v;
}

std::vector<PlayerEntry> entriesOf(const std::vector<const Player*>& players) {
    std::vector<PlayerEntry> out;
    for (const Player* p : players) {
        const char* word = p->position ? positionWord(*p->position) : nullptr;
        if (!word) continue;  // the list leaves out what it cannot name
        std::string text = p->stageName.empty() ? p->vorname.value_or("") + " " + p->name.value_or("") : p->stageName;
        out.push_back({text + " (" + word + ")", p->id});
    }
    return out;
}

}  // namespace

std::optional<TeamView> Source::showteam(Id nr) const {
    if (nr < 0) return std::nullopt;
    auto row = firstTeamClub(nr);
    if (!row) row = amateurClub(nr);
    if (!row) return std::nullopt;
    TeamView v = viewOf(row->longName, row->shortName, row->stadiumName, row->city, row->countryName, row->colours);
    if (auto cap = stadiumCapacity(row->stadium)) {
        v.seated = cap->seated;
        v.standing = cap->standing;
    }
    return v;
}

std::optional<TeamView> Source::showland(Id nr) const {
    auto row = nationalTeam(nr);
    if (!row) return std::nullopt;
    TeamView v = viewOf(row->countryName, row->kuerzel, "Nationalstadion", "Hauptstadt", row->countryName, row->colours);
    v.seated = 40000;
    v.standing = 20000;
    return v;
}

std::vector<PlayerEntry> Source::showspielerliste(Id nr) const { return entriesOf(teamPlayers(nr)); }
std::vector<PlayerEntry> Source::showspielerliste2(Id nr) const { return entriesOf(countryPlayers(nr)); }

std::optional<PlayerView> Source::showplayer(Id nr, RandomSource& rnd) const {
    if (nr < 0) return std::nullopt;
    auto it = d->playersById.find(nr);
    if (it == d->playersById.end()) return std::nullopt;
    const Player& p = d->players[it->second.front()];
    PlayerView v;
    v.nr = num(p.id);
    if (!p.stageName.empty()) {
        v.name = p.stageName;
        v.vorname = ".";
    } else {
        v.name = p.name.value_or("");
        v.vorname = p.vorname.value_or("");
    }
    const auto sum = p.position.value_or(-1) == 0 ? p.tet : p.tes;
    if (sum) {
        const auto step = strengthStep(p.position.value_or(-1), sum.value_or(0), sum.value_or(0));
        v.strengthIndex = step < 0 ? -1 : static_cast<int>(std::min<std::int64_t>(step, 12));
    }
    v.country = p.countryName.value_or("");
    if (p.position && positionWord(*p.position)) v.positionIndex = static_cast<int>(*p.position);
    if (p.contract)
        if (const auto matches = contractMatches(*p.contract)) v.einsatz = num(*matches);
    if (p.shirt) v.rueckennummer = num(*p.shirt);
    if (p.typus) v.hautfarbe = num(*p.typus);
    if (p.typus && p.hairType && p.hairColour) {
        std::int64_t skin = *p.typus;
        auto hair = kopfhaare(skin, *p.hairType, *p.hairColour, rnd);
        v.hautfarbe = num(skin);
        if (hair) v.haartyp = num(*hair);
    }
    return v;
}

}  // namespace zexp
