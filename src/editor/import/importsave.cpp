#include "import/importsave.h"

#include "common/jetdb.h"
#include "common/jetsql.h"
#include "common/progress.h"
#include "common/random.h"
#include "config/landneu.h"
#include "foundation/journal.h"
#include "graphics/faces.h"
#include "graphics/jerseys.h"

#include <algorithm>
#include <cmath>

namespace imp {

namespace {

constexpr long long kMaxLong = 2147483647;  // Jet's Long
constexpr const char* kBlack = "  0,  0,  0";

// A random whole number below n, always drawing once so the sequence does not depend on n.
long long draw(RandomSource& random, long long n) { return static_cast<long long>(random.next() * static_cast<double>(n)); }

std::string q(std::string_view text) { return jetsql::quote(text); }
std::string n(long long v) { return std::to_string(v); }

// A field value as SQL: Null stays Null, numbers bare, text quoted.
std::string sqlValue(const jet::Value& v)
{
    if (v.isNull())
        return "Null";
    if (v.isInt())
        return std::to_string(v.toInt());
    if (v.isReal())
        return v.toString();
    return q(v.toString());
}

// The nation to store: landneu of the country; an empty country stays empty (a national team
// without a name would help nobody).
std::string nationOf(jet::Database& db, const std::string& country,
                     std::map<std::string, std::string>* nations = nullptr)
{
    if (country.empty())
        return {};
    if (!nations)
        return cfg::landneu(db, country);
    const auto it = nations->find(country);
    if (it != nations->end())
        return it->second;
    return nations->emplace(country, cfg::landneu(db, country)).first->second;
}

// A whole number typed into a field, or an Error naming the field.
long long checkedCount(const std::string& text, const char* field)
{
    const auto v = parseNumber(text);
    const bool whole = v && text.find_first_of(".,") == std::string::npos;
    if (!whole || *v < 0 || *v > kMaxLong)
        throw Error(std::string(field) + ": \"" + text + "\" ist keine ganze Zahl von 0 bis 2147483647. Es wurde nichts gespeichert.");
    return *v;
}

void requireClub(jet::Database& db, long long club)
{
    if (db.query("SELECT NUMMER FROM vereine WHERE NUMMER=" + n(club)).eof())
        throw Error("Den Verein " + n(club) + " gibt es in der Datenbank nicht.");
}

}  // namespace

// ---------------------------------------------------------------- conversions

long long strengthCeiling(long long strength, RandomSource& random)
{
    const long long v = std::clamp(strength, 0LL, kMaxStrength);
    const double x = static_cast<double>(v) / 1000.0;
    // nearbyint rounds halves to the even neighbour.
    const long long r = static_cast<long long>(std::nearbyint(x));
    const long long level = static_cast<long long>(std::nearbyint(x + static_cast<double>(r % 2)));
    const long long top = v <= 3000 ? 6 : v <= 7000 ? 10 : 12;
    const long long room = std::max(0LL, top - level);
    long long d = draw(random, room);
    if (d % 2 == 1)
        ++d;
    return (level + d) * 1000;
}

int randomHeight(RandomSource& random) { return 175 + static_cast<int>(draw(random, 30)); }

long long remainingGames(long long fileValue, RandomSource& random) { return fileValue + draw(random, 5); }

std::int64_t faceNumber(int skin, int hair, RandomSource& random)
{
    static constexpr int kRanges[2][faces::kParts] = {{31, 30, 0, 30, 11}, {9, 9, 0, 2, 0}};
    faces::Face face;
    face.skin = skin == faces::kBlack ? faces::kBlack : faces::kWhite;
    for (int k = 0; k < faces::kParts; ++k) {
        if (k == 2)
            face.parts[k] = std::clamp(hair, 0, kMaxHair);
        else if (k == 4 && face.skin == faces::kBlack)
            face.parts[k] = 0;  // the skin bit takes the chin's place
        else
            face.parts[k] = static_cast<int>(draw(random, kRanges[face.skin][k]));
    }
    return faces::encode(face);
}

FaceColours faceColours(jet::Database& db, int skin, int hair)
{
    jet::Recordset rs =
        db.query("SELECT Hautfarbe, Haarfarbe FROM e_gesichtsfarbe WHERE Haare=" + n(hair) + " AND farbe=" + n(skin));
    if (rs.eof())
        return {skin, 0};
    return {static_cast<int>(rs.field(0).toInt()), static_cast<int>(rs.field(1).toInt())};
}

GamePlayer gamePlayer(jet::Database& db, const FilePlayer& p, RandomSource& random,
                      std::map<std::string, std::string>* nations)
{
    GamePlayer g;
    g.name = p.name;
    g.vorname = (p.vorname.empty() ? std::string() : p.initial()) + ".";
    g.strength = p.strength;
    g.maxStrength = strengthCeiling(p.strength, random);
    g.nation = nationOf(db, p.land, nations);
    g.height = randomHeight(random);
    g.position = p.position;
    g.remainingGames = remainingGames(p.remainingGames, random);
    g.shirtNumber = p.shirtNumber;
    g.face = faceNumber(p.skin, p.hair, random);
    g.colours = faceColours(db, p.skin, p.hair);
    return g;
}

// ---------------------------------------------------------------- club save

void settrikotfarbe(jet::Database& db, long long number, const std::string& table, const ClubFile& file)
{
    // The table name goes into the statement as a name: only the two team tables.
    if (table != "vereine" && table != "vereine_national")
        throw Error("Unbekannte Tabelle für Trikotfarben: " + table);
    auto c = [](const std::string& text) { return jetsql::quote(text, '\''); };
    const std::string where = " WHERE " + table + ".nummer=" + n(number);
    db.execute("UPDATE " + table + " SET F_TRIKOT_SPIELER =" + c(file.homeColour(0)) +
               ", F_AUSW_TRIKOT_SPIELER =" + c(file.homeColour(1)) + ", F_ALTERN_TRIKOT_SPIELER =" +
               c(file.homeColour(2)) + ", F_HOSE_SPIELER = " + c(kBlack) + where);
    db.execute("UPDATE " + table + " SET F_AUSW_HOSE_SPIELER =" + c(file.awayColour(0)) +
               ", F_ALTERN_HOSE_SPIELER =" + c(file.awayColour(1)) + ", F_TRIKOT_WERBUNG =" + c(file.awayColour(2)) +
               ", F_HOSE_STREIFEN = " + c(kBlack) + where);
}

void saveClub(jet::Database& db, const ClubSave& s, const ClubFile& file)
{
    // Typed numbers are checked before anything is written.
    long long seats = 0, standing = 0;
    if (s.boxes[1]) {
        seats = checkedCount(s.fields.sitz, "Sitzplätze");
        standing = checkedCount(s.fields.steh, "Stehplätze");
    }
    requireClub(db, s.club);
    const std::string where = " WHERE nummer=" + n(s.club);
    jet::Transaction t(db);
    journal::Command journaled(db, "Verein importieren");
    if (s.boxes[0])
        db.execute("UPDATE vereine SET Name=" + q(s.fields.teamlang) + ", Stadt=" + q(s.fields.stadt) +
                   ", Nation=" + q(nationOf(db, s.fields.land)) + where);
    if (s.boxes[1])
        db.execute("UPDATE vereine SET Stadion_Name=" + q(s.fields.stadion) + ", Stadion_Sitzpl=" + n(seats) +
                   ", Stadion_Stehpl=" + n(standing) + where);
    if (s.boxes[2]) {
        // The model colours of the stored types first; the file's colours then replace
        // the home and away ones, the goalkeeper and trainer colours stay the model's.
        jerseys::settrikotfarbe(db, static_cast<int>(s.club), "vereine", s.satz);
        settrikotfarbe(db, s.club, "vereine", file);
    }
    static constexpr const char* kTypeColumns[3] = {"TRIKOT_ART", "AUSWEICH_TRIKOT_ART", "TW_TRIKOT_ART"};
    std::string types;
    for (int i = 0; i < 3; ++i) {
        if (!s.jerseyTypes[static_cast<std::size_t>(i)])
            continue;
        types += (types.empty() ? "" : ", ") + std::string(kTypeColumns[i]) + "=" +
                 n(*s.jerseyTypes[static_cast<std::size_t>(i)]);
    }
    if (!types.empty())
        db.execute("UPDATE vereine SET " + types + where);
    t.commit();
}

// ---------------------------------------------------------------- squad save

std::vector<long long> playerSlots(jet::Database& db, long long club)
{
    std::vector<long long> slots;
    jet::Recordset rs = db.query("SELECT spieler FROM vereinspieler WHERE verein=" + n(club) + " ORDER BY spieler");
    for (; !rs.eof(); rs.moveNext())
        if (!rs.field(0).isNull())
            slots.push_back(rs.field(0).toInt());
    return slots;
}

std::vector<long long> saveSquad(jet::Database& db, long long club, const std::vector<SquadMember>& squad,
                                 const ClubFile& file, RandomSource& random, ProgressSink& progress)
{
    progress.status(kSquadSaveStatus);
    std::vector<long long> slots = playerSlots(db, club);
    if (slots.size() < squad.size())
        throw Error("Der Verein " + n(club) + " hat nur " + n(static_cast<long long>(slots.size())) +
                    " Spielerplätze für " + n(static_cast<long long>(squad.size())) +
                    " Spieler. Es wurde nichts gespeichert.");
    slots.resize(squad.size());

    static constexpr const char* kCopied[] = {"NAME",   "VORNAME",        "STÄRKE",         "MAX_STÄRKE",
                                              "NATION", "GROESSE",        "ART",            "REST_EINSÄTZE",
                                              "LIEBLINGSPOS_X", "LIEBLINGSPOS_Y", "RUECKENNUMMER", "GESICHT",
                                              "HAUTFARBE", "HAARFARBE",   "ERLERNT",        "GESPERRT"};
    jet::Transaction t(db);
    journal::Command journaled(db, "Kader importieren");
    // Every statement is built before the first runs, so each source is read unchanged.
    std::vector<std::string> statements;
    std::map<std::string, std::string> nations;
    for (std::size_t i = 0; i < squad.size(); ++i) {
        const SquadMember& m = squad[i];
        std::string set;
        if (!m.fromFile) {
            jet::Recordset rs = db.query("SELECT * FROM spieler WHERE nummer=" + n(m.playerNumber));
            if (rs.eof())
                throw Error("Den Spieler " + n(m.playerNumber) + " gibt es in der Datenbank nicht mehr.");
            for (const char* col : kCopied) {
                const jet::Value& v = rs.field(col);
                const std::string value = std::string(col) == "NATION" ? q(nationOf(db, v.toString(), &nations)) : sqlValue(v);
                set += (set.empty() ? "" : ", ") + std::string(col) + "=" + value;
            }
        } else {
            if (m.fileIndex < 0 || m.fileIndex >= static_cast<int>(file.players.size()))
                throw Error("Der Spieler " + n(m.fileIndex + 1) + " steht nicht in der Datei.");
            const GamePlayer g = gamePlayer(db, file.players[static_cast<std::size_t>(m.fileIndex)], random, &nations);
            set = "NAME=" + q(g.name) + ", VORNAME=" + q(g.vorname) + ", STÄRKE=" + n(g.strength) +
                  ", MAX_STÄRKE=" + n(g.maxStrength) + ", NATION=" + q(g.nation) + ", GROESSE=" + n(g.height) +
                  ", ART=" + n(g.position) + ", REST_EINSÄTZE=" + n(g.remainingGames) +
                  ", RUECKENNUMMER=" + n(g.shirtNumber) + ", GESICHT=" + n(g.face) +
                  ", HAUTFARBE=" + n(g.colours.haut) + ", HAARFARBE=" + n(g.colours.haar) +
                  ", ERLERNT=" + q("") + ", GESPERRT=" + q("");
        }
        statements.push_back("Update spieler SET " + set + " WHERE NUMMER=" + n(slots[i]) + ";");
    }
    for (std::size_t i = 0; i < statements.size(); ++i) {
        db.execute(statements[i]);
        progress.percent(static_cast<int>((i + 1) * 100 / statements.size()));
    }
    t.commit();
    return slots;
}

// ---------------------------------------------------------------- free players

std::string freePlayersDone(int count) { return std::to_string(count) + " Spieler in Freie Spieler importiert!"; }

void savez4spieler(jet::Database& db, const ClubFile& file, int index, RandomSource& random)
{
    if (index < 0 || index >= static_cast<int>(file.players.size()))
        throw Error("Der Spieler " + n(index + 1) + " steht nicht in der Datei.");
    const FilePlayer& p = file.players[static_cast<std::size_t>(index)];
    const std::int64_t face = faceNumber(p.skin, p.hair, random);
    const FaceColours colours = faceColours(db, p.skin, p.hair);
    db.execute("INSERT INTO z4spieler (name, vorname, Land, verein, position, staerke, Restspiele, Rueckennummer, "
               "Gesicht, Hautfarbe, Haarfarbe) VALUES (" +
               q(p.name) + ", " + q(p.vorname) + ", " + q(p.land) + ", " + q(file.name.value_or("")) + ", " +
               n(p.position) + ", " + n(p.strength) + ", " + n(p.remainingGames) + ", " + n(p.shirtNumber) + ", " +
               n(face) + ", " + n(colours.haut) + ", " + n(colours.haar) + ")");
    db.runStoredQuery("z4deleteid");
}

int saveFreePlayers(jet::Database& db, const ClubFile& file, const std::vector<int>& indices, RandomSource& random,
                    ProgressSink& progress)
{
    progress.status(kFreePlayersStatus);
    auto count = [&db] { return db.query("SELECT Count(*) FROM z4spieler").field(0).toInt(); };
    jet::Transaction t(db);
    journal::Command journaled(db, "Freie Spieler importieren");
    const long long before = count();
    for (std::size_t i = 0; i < indices.size(); ++i) {
        savez4spieler(db, file, indices[i], random);
        progress.percent(static_cast<int>((i + 1) * 100 / indices.size()));
    }
    const long long added = count() - before;
    t.commit();
    return static_cast<int>(added);
}

}  // namespace imp
