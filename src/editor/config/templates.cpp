#include "templates.h"

#include "cfgformat.h"
#include "config/squadgen.h"
#include "foundation/journal.h"
#include "landneu.h"

#include "common/jetdb.h"
#include "common/jetsql.h"
#include "common/progress.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <vector>

namespace fs = std::filesystem;

namespace cfg {

namespace {

constexpr const char* kCountriesSql = "Select * FROM e_landkontinent WHERE teams>0 ORDER BY id ASC";

class StatusGuard {
public:
    explicit StatusGuard(ProgressSink& sink) : sink_(sink) {}
    ~StatusGuard() { sink_.status(""); }

private:
    ProgressSink& sink_;
};

std::string_view trimmed(std::string_view s)
{
    return trim(s);
}

}  // namespace

std::string templateClubName(const std::string& identifier, int t)
{
    char buf[24];
    std::snprintf(buf, sizeof buf, "%03d", t);
    return identifier + buf;
}

int createTemplateClubs(jet::Database& db, ProgressSink& progress)
{
    StatusGuard guard(progress);
    jet::Transaction transaction(db);
    journal::Command journaled(db, "Vorlagen erstellen");
    jet::Recordset countries = db.query(kCountriesSql);
    int created = 0;
    for (; !countries.eof(); countries.moveNext()) {
        const std::string land = countries.field(1).toString();
        const std::string identifier = countries.field(3).toString();
        const long long teams = countries.field(4).toInt();
        const std::string nation = landneu(db, land);
        for (long long t = 1; t <= teams; ++t) {
            long long number = 1;
            {
                jet::Recordset m = db.query("Select max(maxnr) From maxteamnr");
                if (!m.eof() && !m.field(0).isNull())
                    number = m.field(0).toInt() + 1;
            }
            const std::string name = templateClubName(identifier, static_cast<int>(t));
            progress.status(name);
            const std::array<std::string, 28> values = {
                std::to_string(number), name, name, "0", "0", "0", "", "", "", nation, "0", "0", "0", "70", "10", "0",
                "255,255,255", "255,255,255", "255,255,255", "255,255,255",
                " 48, 48, 48", " 48, 48, 48", " 48, 48, 48", " 48, 48, 48",
                " 24,181,220", " 24,181,220", " 24,181,220", " 24,181,220"};
            std::string sql = "INSERT INTO vereine (NUMMER,NAME,KURZNAME,GRAFIK_NR,STAERKE,STARTPLATZ,SPIELER,"
                              "STADION_NAME,STADT,NATION,STADION_SITZPL,STADION_STEHPL,TRIKOT_ART,TW_TRIKOT_ART,"
                              "AUSWEICH_TRIKOT_ART,AUSWEICH_TW_TRIKOT_ART,F_TRIKOT_SPIELER,F_AUSW_TRIKOT_SPIELER,"
                              "F_ALTERN_TRIKOT_SPIELER,F_HOSE_SPIELER,F_AUSW_HOSE_SPIELER,F_ALTERN_HOSE_SPIELER,"
                              "F_TRIKOT_WERBUNG,F_HOSE_STREIFEN,F_TRIKOT_TORWART,F_HOSE_TORWART,F_TRIKOT_TRAINER,"
                              "F_HOSE_TRAINER) VALUES (";
            for (std::size_t i = 0; i < values.size(); ++i)
                sql += (i ? "," : "") + jetsql::quote(values[i]);
            sql += ")";
            db.execute(sql);
            squadgen::generate(db, number, nation, squadgen::kSquadSize, &progress);
            ++created;
        }
    }
    transaction.commit();
    return created;
}

fs::path competitionFilePath(const fs::path& programDir)
{
    return programDir / "1_we.cfg";
}

std::string competitionFileText(jet::Database& db, ProgressSink& progress)
{
    // Accumulators in the order of the codes CL, CLQ, UEFA, UEFAQ, UI.
    static constexpr std::array<std::string_view, 5> kCodes = {"CL", "CLQ", "UEFA", "UEFAQ", "UI"};
    std::array<std::string, 5> qualified;
    const Layout& L = kCompetitionLayout;
    auto constant = [&](std::string& out, const char* key, const char* value) { appendKeyLine(out, L, key, value); };

    std::string out;
    jet::Recordset countries = db.query(kCountriesSql);
    const long total = countries.recordCount();
    long done = 0;
    progress.percent(0);
    for (; !countries.eof(); countries.moveNext()) {
        const std::string land = countries.field(1).toString();
        const std::string identifier = countries.field(3).toString();
        const long long teams = countries.field(4).toInt();
        const std::string quali = countries.field(5).toString();

        std::vector<std::string_view> codes;
        for (std::size_t pos = 0; !quali.empty();) {
            std::size_t comma = quali.find(',', pos);
            codes.push_back(trimmed(std::string_view(quali).substr(pos, comma == std::string::npos ? std::string::npos
                                                                                                  : comma - pos)));
            if (comma == std::string::npos)
                break;
            pos = comma + 1;
        }

        // Participants: the country's clubs by number, at most `teams` of them.
        std::string participants, identifiers;
        jet::Recordset clubs =
            db.query("SELECT nummer FROM vereine WHERE nation=" + jetsql::quote(land) + " ORDER by nummer");
        for (long long p = 1; p <= teams && !clubs.eof(); ++p, clubs.moveNext()) {
            const std::string number = clubs.field(0).toString();
            if (p > 1) {
                participants += ",";
                identifiers += ",";
            }
            participants += number;
            identifiers += identifier;
            if (p <= static_cast<long long>(codes.size()))
                for (std::size_t c = 0; c < kCodes.size(); ++c)
                    if (codes[static_cast<std::size_t>(p - 1)] == kCodes[c])
                        qualified[c] += number + ",";
        }

        jet::Recordset national = db.query("SELECT nummer FROM vereine_national WHERE name=" + jetsql::quote(land));
        if (national.eof())
            throw Error("Zum Land " + land + " gibt es kein Nationalteam; die Wettbewerbsdatei wurde nicht geschrieben.");

        out += L.recordKeyword;
        out += kEol;
        appendKeyLine(out, L, "NAME", inQuotes("Liga " + land));
        appendKeyLine(out, L, "IDENTIFIKATION", bare(identifier));
        appendKeyLine(out, L, "TEAMS", std::to_string(teams));
        constant(out, "MODUS", "RUECKSPIELE");
        constant(out, "MODUS", "HEIMRECHT");
        constant(out, "MODUS", "ENGLISCHE_TABELLE");
        constant(out, "SUPER_ART", "NATIONAL");
        constant(out, "WOCHENTAG", "Samstag");
        constant(out, "QUOTE_WOCHENTAG", "80");
        appendKeyLine(out, L, "SPIELTAGE", std::to_string((teams - 1) * 2));
        appendKeyLine(out, L, "QUALI_FUER", bare(quali));
        appendKeyLine(out, L, "QUALI_FUER", identifiers);
        appendKeyLine(out, L, "STARTTEILNEHMER", participants);
        appendKeyLine(out, L, "LAND", national.field(0).toString());
        constant(out, "ERSTE_GELBSPERRE", "5");
        constant(out, "INTERVALL_GELBSPERRE", "5");
        constant(out, "GRAFIK_NUMMER", "13");
        constant(out, "SIEG_PRAEMIE", "20000");
        constant(out, "UNENTSCHIEDEN_PRAEMIE", "5000");
        constant(out, "BASISLIGA", "JA");
        constant(out, "QUALI_ZU_SAISONSTART", "JA");
        constant(out, "KALENDER_POSITION", "0");
        out += kEol;
        progress.percent(static_cast<int>(++done * 100 / std::max(1L, total)));
    }

    // Summary: tag, number of clubs (pieces of the list minus the one behind the last ","),
    // one blank, the list as collected.
    static constexpr std::array<std::pair<const char*, int>, 5> kSummary = {
        {{"UI", 4}, {"UQ", 3}, {"U", 2}, {"CQ", 1}, {"C", 0}}};
    for (const auto& [tag, index] : kSummary) {
        const std::string& list = qualified[static_cast<std::size_t>(index)];
        long count = 0;
        for (char c : list)
            if (c == ',')
                ++count;
        // An empty list splits into no pieces at all.
        const long pieces = list.empty() ? 0 : count + 1;
        out += tag + std::to_string(pieces - 1) + " " + list;
        out += kEol;
    }
    return out;
}

void writeCompetitionFile(jet::Database& db, const fs::path& file, ProgressSink& progress)
{
    writeFileAtomically(file, toFileBytes(competitionFileText(db, progress)));
}

}  // namespace cfg
