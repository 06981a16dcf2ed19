#include "zexport.h"

#include "common/exportnames.h"
#include "common/profile.h"
#include "common/progress.h"
#include "common/random.h"
#include "common/textcodec.h"

#include <ctime>
#include <map>
#include <set>

namespace fs = std::filesystem;

namespace zexp {

std::string programTitle() {
    return "Zentor Exporter v" + std::to_string(kVersionMajor) + "." + std::to_string(kVersionMinor);
}

std::string legalNotice() {
    return "Freie Nachbildung für Kickora. Zentor 4 und Kickora sind Marken ihrer Inhaber; "
           "Nutzung der exportierten Daten auf eigene Verantwortung.";
}

std::string infoText() { return programTitle() + "\n" + legalNotice(); }

std::string tm_header(const std::string& dateTime) {
    return ";Datenexport vom " + dateTime + "\r\n;" + programTitle() + " - " + legalNotice() + "\r\n";
}

std::string currentDateTime() {
    const std::time_t t = std::time(nullptr);
    std::tm tm{};
    localtime_r(&t, &tm);
    char buf[32];
    std::strftime(buf, sizeof buf, "%d.%m.%Y %H:%M:%S", &tm);
    return buf;
}

namespace {

std::string num(std::int64_t v) { return std::to_string(v); }

// Values and names from the source go into one line each.
std::string oneLine(std::string s) {
    for (char& c : s)
        if (c == '\r' || c == '\n') c = ' ';
    return s;
}

class Run {
public:
    Run(const Source& src, const ExportOptions& o)
        : src_(src), rnd_(o.random ? o.random : &ownRandom_), progress_(o.progress ? o.progress : &noProgress_),
          dateTime_(o.dateTime.empty() ? currentDateTime() : o.dateTime), teamName_(o.teamName) {}

    ExportResult finish() {
        for (auto& [path, doc] : indexes_) {
            if (doc.save(path))
                ++result_.indexFiles;
            else
                fail("Die Datei " + path.string() + " konnte nicht geschrieben werden.");
        }
        indexes_.clear();
        return std::move(result_);
    }

    void start(const fs::path& target) {
        progress_->status(target.string());
        progress_->percent(0);
        std::error_code ec;
        if (!target.empty()) fs::remove(target, ec);
    }

    // A club file of a first or amateur team (negative numbers: players only).
    void exportverein(Id nr, const fs::path& file) {
        profile::Document doc = newClubFile();
        std::string team = "Team " + num(nr);
        if (nr >= 0) {
            auto row = src_.firstTeamClub(nr);
            if (!row) row = src_.amateurClub(nr);
            if (!row) {
                fail("Team " + num(nr) + " wurde in der Datenbank nicht gefunden.");
                return;
            }
            team = "Verein " + row->longName;
            set(doc, "Team", "Name", row->longName);
            set(doc, "Team", "Stadion", row->stadiumName);
            set(doc, "Team", "Stadt", row->city);
            set(doc, "Team", "Land", row->countryName);
            for (int i = 0; i < 3; ++i) set(doc, "Team", "Trikoth" + num(i), colourText(colourTriple(row->colours[i])));
            for (int i = 0; i < 3; ++i)
                set(doc, "Team", "Trikota" + num(i), colourText(colourTriple(row->colours[6 + i])));
            const Capacity cap = src_.stadiumCapacity(row->stadium).value_or(Capacity{});
            set(doc, "Team", "Stadionsitz", num(cap.seated));
            set(doc, "Team", "Stadionsteh", num(cap.standing));
        }
        exportspieler(doc, team, nr);
        save(doc, file);
    }

    void exportnatteam(Id nr, const fs::path& file) {
        profile::Document doc = newClubFile();
        if (nr >= 0) {
            const auto row = src_.nationalTeam(nr);
            if (!row) {
                fail("Das Nationalteam " + num(nr) + " wurde in der Datenbank nicht gefunden.");
                return;
            }
            if (teamName_) teamName_(row->countryName);
            set(doc, "Team", "Name", row->countryName);
            set(doc, "Team", "Stadt", "Hauptstadt");
            set(doc, "Team", "Stadion", "Nationalstadion");
            set(doc, "Team", "Land", row->countryName);
            for (int i = 0; i < 3; ++i) set(doc, "Team", "Trikoth" + num(i), colourText(colourTriple(row->colours[i])));
            for (int i = 0; i < 3; ++i)
                set(doc, "Team", "Trikota" + num(i), colourText(colourTriple(row->colours[6 + i])));
            set(doc, "Team", "Stadionsitz", "40000");
            set(doc, "Team", "Stadionsteh", "20000");
            const auto players = src_.countryPlayers(nr);
            int count = 0;
            for (const Player* p : players) {
                progress_->percent(static_cast<int>(count * 100 / static_cast<long>(players.size())));
                writePlayer(doc, "Nationalteam " + row->countryName, ++count, *p);
            }
            set(doc, "Team", "Spieler", num(count));
        }
        save(doc, file);
    }

    // Index lines and club files of a country's leagues (or one league) or of its clubs
    // outside any league. countryMode: club folders inside a country folder, with one .lig per league.
    void group(Id nr, bool countryMode, bool noLeaguePart, std::optional<Id> league, const fs::path& target) {
        const auto countryName = src_.countryName(nr);
        if (!countryName) {
            fail("Das Land " + num(nr) + " wurde in der Datenbank nicht gefunden.");
            return;
        }
        const std::string& c = *countryName;
        index(target, "LigaLand", "Land", c);
        fs::path folder = target.parent_path();
        if (countryMode) {
            folder /= exportFileName(c);
            makeFolder(folder);
        }
        if (!noLeaguePart) {
            for (const League* l : src_.leaguesOf(nr, league)) {
                if (countryMode) index(folder / (exportFileName(l->name) + ".lig"), "LigaLand", "Land", c);
                makeFolder(folder / exportFileName(l->name));
            }
            for (bool amateur : {false, true}) {
                const auto rows = src_.leagueTeams(nr, league, amateur);
                for (std::size_t i = 0; i < rows.size(); ++i) {
                    const IndexRow& r = rows[i];
                    progress_->status(r.leagueName + " - " + r.clubName);
                    const fs::path leagueFolder = folder / exportFileName(r.leagueName);
                    index(target, r.leagueName, num(r.team), r.clubName);
                    if (countryMode)
                        index(folder / (exportFileName(r.leagueName) + ".lig"), r.leagueName, num(r.team), r.clubName);
                    exportverein(r.team, leagueFolder / (exportFileName(r.clubName) + ".aet"));
                    progress_->percent(static_cast<int>((i + 1) * 100 / rows.size()));
                }
            }
        } else {
            const std::string section = "(keine Liga)";
            makeFolder(folder / section);
            for (bool amateur : {false, true}) {
                const auto rows = src_.noLeagueTeams(nr, amateur);
                for (std::size_t i = 0; i < rows.size(); ++i) {
                    const IndexRow& r = rows[i];
                    progress_->status(section + " - " + r.clubName);
                    index(target, section, num(r.team), r.clubName);
                    exportverein(r.team, folder / section / (exportFileName(r.clubName) + ".aet"));
                    progress_->percent(static_cast<int>((i + 1) * 100 / rows.size()));
                }
            }
        }
    }

private:
    profile::Document newClubFile() const {
        return profile::Document::fromBytes(textcodec::utf8ToCp1252(tm_header(dateTime_) + "\r\n"));
    }

    static void set(profile::Document& doc, const std::string& section, const std::string& key, const std::string& value) {
        doc.setString(oneLine(section), key, oneLine(value));
    }

    // A value the game cannot hold is left out, as a NULL is, and the run reports it.
    void outOfRange(const std::string& team, const Player& p, const std::string& what, const std::string& key) {
        const std::string name =
            p.stageName.empty() ? p.vorname.value_or("") + " " + p.name.value_or("") : p.stageName;
        fail(team + ", Spieler " + name + " (Nummer " + num(p.id) + "): " + what +
             " ergibt einen Wert, den das Spiel nicht speichern kann; " + key + " wurde nicht geschrieben.");
    }

    // The nine keys of a player; a key whose source column is NULL is left out. team names
    // the club or national team in messages.
    void writePlayer(profile::Document& doc, const std::string& team, int k, const Player& p) {
        const std::string s = "Spieler" + num(k);
        const bool stage = !p.stageName.empty();
        if (stage)
            set(doc, s, "Name", p.stageName);
        else if (p.name)
            set(doc, s, "Name", *p.name);
        if (stage)
            set(doc, s, "Vorname", ".");
        else if (p.vorname)
            set(doc, s, "Vorname", *p.vorname);
        if (p.countryName) set(doc, s, "Land", *p.countryName);
        if (p.position) set(doc, s, "Position", num(*p.position));
        if (const auto sum = p.position.value_or(-1) == 0 ? p.tet : p.tes) {
            if (const auto strength = strengthValue(strengthStep(p.position.value_or(-1), *sum, *sum)))
                set(doc, s, "Staerke", num(*strength));
            else
                outOfRange(team, p, "die Summe der Fähigkeiten " + num(*sum), "Staerke");
        }
        if (p.contract) {
            if (const auto matches = contractMatches(*p.contract))
                set(doc, s, "Restspiele", num(*matches));
            else
                outOfRange(team, p, "die Vertragslaufzeit " + num(*p.contract), "Restspiele");
        }
        if (p.shirt) set(doc, s, "Rueckennummer", num(*p.shirt));
        if (p.typus) set(doc, s, "Hautfarbe", num(skinFlag(*p.typus)));
        if (p.typus && p.hairType && p.hairColour) {
            std::int64_t skin = *p.typus;
            if (auto hair = kopfhaare(skin, *p.hairType, *p.hairColour, *rnd_)) set(doc, s, "Haarfarbe", num(*hair));
        }
    }

    void exportspieler(profile::Document& doc, const std::string& team, Id nr) {
        Source::ListState state;
        const auto players = src_.teamPlayers(nr, &state);
        if (state == Source::ListState::Blank) return;
        int count = 0;
        for (const Player* p : players) writePlayer(doc, team, ++count, *p);
        set(doc, "Team", "Spieler", num(count));
    }

    void save(const profile::Document& doc, const fs::path& file) {
        if (doc.save(file))
            ++result_.clubFiles;
        else
            fail("Die Datei " + file.string() + " konnte nicht geschrieben werden.");
    }

    // Index files of a run start empty and are written once at its end.
    void index(const fs::path& file, const std::string& section, const std::string& key, const std::string& value) {
        indexes_[file].setString(oneLine(section), key, oneLine(value));
    }

    void makeFolder(const fs::path& dir) {
        std::error_code ec;
        if (fs::is_directory(dir, ec)) return;
        fs::create_directories(dir, ec);
        if (ec && failedFolders_.insert(dir).second)
            fail("Der Ordner " + dir.string() + " konnte nicht angelegt werden.");
    }

    void fail(std::string message) { result_.errors.push_back(std::move(message)); }

    const Source& src_;
    RandomSource ownRandom_{1};
    NullProgress noProgress_;
    RandomSource* rnd_;
    ProgressSink* progress_;
    std::string dateTime_;
    std::function<void(const std::string&)> teamName_;
    ExportResult result_;
    std::map<fs::path, profile::Document> indexes_;
    std::set<fs::path> failedFolders_;
};

}  // namespace

ExportResult exportClub(const Source& src, Id team, const fs::path& file, const ExportOptions& o) {
    Run run(src, o);
    run.start(file);
    run.exportverein(team, file);
    return run.finish();
}

ExportResult exportNational(const Source& src, Id country, const fs::path& file, const ExportOptions& o) {
    Run run(src, o);
    run.start(file);
    run.exportnatteam(country, file);
    return run.finish();
}

ExportResult exportCountry(const Source& src, Id country, const fs::path& lanFile, const ExportOptions& o) {
    Run run(src, o);
    run.start(lanFile);
    run.group(country, true, false, std::nullopt, lanFile);
    run.group(country, true, true, std::nullopt, lanFile);
    return run.finish();
}

ExportResult exportLeague(const Source& src, Id country, std::optional<Id> league, const fs::path& ligFile,
                          const ExportOptions& o) {
    Run run(src, o);
    run.start(ligFile);
    run.group(country, false, !league, league, ligFile);
    return run.finish();
}

namespace {

void allCountries(Run& run, const Source& src, const fs::path& base) {
    for (const TreeNode& n : src.tree()) {
        if (n.kind != NodeKind::Country) continue;
        const fs::path lan = base / (exportFileName(n.text) + ".lan");
        run.group(n.number, true, false, std::nullopt, lan);
        run.group(n.number, true, true, std::nullopt, lan);
    }
}

}  // namespace

ExportResult exportAllCountries(const Source& src, const fs::path& allFile, const ExportOptions& o) {
    Run run(src, o);
    run.start(allFile);
    allCountries(run, src, allFile.parent_path());
    return run.finish();
}

ExportResult exportAllCountriesTo(const Source& src, const fs::path& dir, const ExportOptions& o) {
    Run run(src, o);
    run.start({});
    allCountries(run, src, dir);
    return run.finish();
}

}  // namespace zexp
