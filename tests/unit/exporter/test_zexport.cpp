#include "common/exportnames.h"
#include "common/profile.h"
#include "common/progress.h"
#include "common/random.h"
#include "common/textcodec.h"
#include "demo/zentordemo.h"
#include "exporter/zexport.h"
#include "exporter/zmenu.h"
#include "testsupport.h"
#include "zminisource.h"

#include <gtest/gtest.h>

#include <array>
#include <map>
#include <regex>
#include <set>

using namespace zexp;
using testsupport::readFile;
using testsupport::TempDir;
namespace fs = std::filesystem;

namespace {

const char* kWhen = "05.12.2026 20:41:22";

// A written file as the sequence of its sections with their lines (UTF-8), comments and the
// header apart.
struct Parsed {
    std::vector<std::string> header;  // lines before the first section
    std::vector<std::pair<std::string, std::vector<std::string>>> sections;
    std::vector<std::string> names() const {
        std::vector<std::string> n;
        for (const auto& s : sections) n.push_back(s.first);
        return n;
    }
    std::vector<std::string> lines(const std::string& section) const {
        for (const auto& s : sections)
            if (s.first == section) return s.second;
        return {};
    }
};

Parsed parse(const fs::path& file) {
    const std::string bytes = readFile(file);
    Parsed p;
    std::size_t pos = 0;
    while (pos < bytes.size()) {
        const auto end = bytes.find("\r\n", pos);
        EXPECT_NE(end, std::string::npos) << "line without CR LF in " << file;
        if (end == std::string::npos) break;
        const std::string line = textcodec::cp1252ToUtf8(bytes.substr(pos, end - pos));
        EXPECT_EQ(line.find('\n'), std::string::npos);
        pos = end + 2;
        if (!line.empty() && line.front() == '[')
            p.sections.push_back({line.substr(1, line.size() - 2), {}});
        else if (p.sections.empty())
            p.header.push_back(line);
        else if (!line.empty())
            p.sections.back().second.push_back(line);
    }
    return p;
}

std::vector<std::string> keysOf(const std::vector<std::string>& lines) {
    std::vector<std::string> k;
    for (const auto& l : lines) k.push_back(l.substr(0, l.find('=')));
    return k;
}

const std::vector<std::string> kTeamKeys = {"Name",     "Stadion",  "Stadt",    "Land",        "Trikoth0",
                                            "Trikoth1", "Trikoth2", "Trikota0", "Trikota1",    "Trikota2",
                                            "Stadionsitz", "Stadionsteh", "Spieler"};
const std::vector<std::string> kPlayerKeys = {"Name",       "Vorname",       "Land",      "Position", "Staerke",
                                              "Restspiele", "Rueckennummer", "Hautfarbe", "Haarfarbe"};

// The keys of a player section: the fixed order, some possibly left out.
bool inKeyOrder(const std::vector<std::string>& keys) {
    auto it = kPlayerKeys.begin();
    for (const auto& k : keys) {
        it = std::find(it, kPlayerKeys.end(), k);
        if (it == kPlayerKeys.end()) return false;
        ++it;
    }
    return keys.size() >= 2;
}

// Every file and folder below root, relative; folders with "/" at the end.
std::set<std::string> tree(const fs::path& root) {
    std::set<std::string> files;
    for (const auto& e : fs::recursive_directory_iterator(root))
        files.insert(fs::relative(e.path(), root).string() + (e.is_directory() ? "/" : ""));
    return files;
}

// A target file in a new folder below the test's folder.
fs::path target(const fs::path& file) {
    fs::create_directories(file.parent_path());
    return file;
}

struct Recorder : ProgressSink {
    std::vector<std::string> texts;
    std::vector<int> percents;
    void status(const std::string& t) override { texts.push_back(t); }
    void percent(int p) override { percents.push_back(p); }
};

struct Mini : ::testing::Test {
    TempDir dir;
    Source src;
    RandomSource rnd{1};
    Recorder progress;
    ExportOptions opt;
    void SetUp() override {
        zmini::write(dir / "z.mdb");
        src = Source::open(dir / "z.mdb");
        opt.random = &rnd;
        opt.progress = &progress;
        opt.dateTime = kWhen;
    }
    std::string get(const fs::path& f, const std::string& s, const std::string& k) {
        return profile::getString(s, k, "<fehlt>", f);
    }
    // Checks rows of {section, key, value}; "<fehlt>" for a key left out.
    void expectKeys(const fs::path& f, const std::vector<std::array<std::string, 3>>& rows) {
        for (const auto& [section, key, value] : rows) EXPECT_EQ(get(f, section, key), value) << section << "." << key;
    }
};

}  // namespace

TEST(ExportNames, OnlySlashesGoAndDotsCannotLeave) {
    const std::pair<const char*, const char*> cases[] = {
        {"Blau/Weiß Au", "BlauWeiß Au"}, {"a//b/", "ab"}, {"..", "__"}, {".", "_"}, {"/../", "__"},
        {"St. Pauli: 1910?", "St. Pauli: 1910?"}, {"...", "..."}, {"", ""}};
    for (auto [name, want] : cases) EXPECT_EQ(exportFileName(name), want) << name;
}

TEST(Header, TwoLinesWithProgramAndVersion) {
    const std::string h = tm_header(kWhen);
    EXPECT_EQ(h.rfind(";Datenexport vom 05.12.2026 20:41:22\r\n;" + programTitle(), 0), 0u) << h;
    EXPECT_EQ(h.size() - 2, h.rfind("\r\n"));
    EXPECT_EQ(std::count(h.begin(), h.end(), '\n'), 2);
    EXPECT_EQ(programTitle(), "Zentor Exporter v0.25");
    EXPECT_TRUE(std::regex_match(currentDateTime(), std::regex(R"(\d\d\.\d\d\.\d{4} \d\d:\d\d:\d\d)"))) << currentDateTime();
}

TEST_F(Mini, ClubFileOfAFirstTeam) {
    const fs::path f = dir / "FC Adler (Deutschland).aet";
    testsupport::writeFile(f, "[Alt]\r\nRest=1\r\n");  // an old file is replaced, not extended
    const ExportResult r = exportClub(src, 11, f, opt);
    EXPECT_TRUE(r.ok());
    EXPECT_EQ(r.clubFiles, 1);

    const std::string bytes = readFile(f);
    EXPECT_EQ(bytes.rfind(textcodec::utf8ToCp1252(tm_header(kWhen)) + "\r\n[Team]\r\n", 0), 0u);
    // Windows-1252; each section right after the last line of the one before, as the Windows writer does
    EXPECT_NE(bytes.find("\r\nSpieler=3\r\n[Spieler1]\r\nName=M\xFCller\r\n"), std::string::npos);
    EXPECT_NE(bytes.find("\r\nHaarfarbe=4\r\n[Spieler2]\r\n"), std::string::npos);

    const Parsed p = parse(f);
    EXPECT_EQ(p.names(), (std::vector<std::string>{"Team", "Spieler1", "Spieler2", "Spieler3"}));
    EXPECT_EQ(p.lines("Team"),
              (std::vector<std::string>{"Name=FC Adler", "Stadion=Adlerpark", "Stadt=Adlerstadt", "Land=Deutschland",
                                        "Trikoth0=255,255,129", "Trikoth1=0,0,0", "Trikoth2=52,86,120",
                                        "Trikota0=255,0,0", "Trikota1=255,255,255", "Trikota2=0,255,0",
                                        "Stadionsitz=4000", "Stadionsteh=3000", "Spieler=3"}));
    EXPECT_EQ(p.lines("Spieler1"),
              (std::vector<std::string>{"Name=Müller", "Vorname=Hans", "Land=Deutschland", "Position=0", "Staerke=6000",
                                        "Restspiele=110", "Rueckennummer=1", "Hautfarbe=0", "Haarfarbe=4"}));
    // NULL contract and an unknown hair type: those two keys are left out.
    EXPECT_EQ(p.lines("Spieler2"),
              (std::vector<std::string>{"Name=Abel", "Vorname=Karl", "Land=Deutschland", "Position=1", "Staerke=10000",
                                        "Rueckennummer=4", "Hautfarbe=0"}));
    // Stage name with "." as first name; dark skin.
    EXPECT_EQ(p.lines("Spieler3"),
              (std::vector<std::string>{"Name=Zico", "Vorname=.", "Land=Brasilien", "Position=3", "Staerke=9000",
                                        "Restspiele=165", "Rueckennummer=10", "Hautfarbe=1", "Haarfarbe=5"}));
    EXPECT_EQ(get(f, "team", "stadionsitz"), "4000");  // as the editor reads it
}

TEST_F(Mini, ClubFileOfAnAmateurTeamAndSpecialTeams) {
    const fs::path f = dir / "a.aet";
    ASSERT_TRUE(exportClub(src, 12, f, opt).ok());
    Parsed p = parse(f);
    EXPECT_EQ(keysOf(p.lines("Team")), kTeamKeys);
    expectKeys(f, {{"Team", "Name", "FC Adler2"}, {"Team", "Stadion", "Adlerwiese"},
                   {"Team", "Stadionsitz", "4000"},  // the club's stadium
                   {"Team", "Spieler", "2"}, {"Spieler1", "Name", "Acker"},
                   {"Spieler1", "Staerke", "<fehlt>"},  // a NULL skill
                   {"Spieler1", "Haarfarbe", "61"}, {"Spieler2", "Staerke", "5000"}});

    // Track stadium; a "/" in the club name is only the file name's business.
    ASSERT_TRUE(exportClub(src, 13, f, opt).ok());
    expectKeys(f, {{"Team", "Name", "Blau/Weiß Au"}, {"Team", "Stadionsitz", "2200"}, {"Team", "Stadionsteh", "75000"}});

    // Blank player list: no Spieler key at all.
    ASSERT_TRUE(exportClub(src, 15, f, opt).ok());
    p = parse(f);
    EXPECT_EQ(p.names(), std::vector<std::string>{"Team"});
    EXPECT_EQ(keysOf(p.lines("Team")), std::vector<std::string>(kTeamKeys.begin(), kTeamKeys.end() - 1));

    // No TEAM row: Spieler=0.
    ASSERT_TRUE(exportClub(src, 18, f, opt).ok());
    expectKeys(f, {{"Team", "Spieler", "0"}, {"Team", "Name", "Ohne Team"}});

    // Negative team number: players only.
    ASSERT_TRUE(exportClub(src, -16, f, opt).ok());
    p = parse(f);
    EXPECT_EQ(p.names(), (std::vector<std::string>{"Spieler1", "Team"}));
    EXPECT_EQ(p.lines("Team"), std::vector<std::string>{"Spieler=1"});

    // Unknown team: reported, no file.
    fs::remove(f);
    const ExportResult r = exportClub(src, 999, f, opt);
    ASSERT_EQ(r.errors.size(), 1u);
    EXPECT_NE(r.errors[0].find("999"), std::string::npos);
    EXPECT_FALSE(fs::exists(f));
}

TEST_F(Mini, NationalTeamFile) {
    const fs::path f = dir / "Deutschland (Zentor).aet";
    std::string team;
    opt.teamName = [&](const std::string& name) { team = name; };
    ASSERT_TRUE(exportNational(src, 1, f, opt).ok());
    const Parsed p = parse(f);
    EXPECT_EQ(p.lines("Team"),
              (std::vector<std::string>{"Name=Deutschland", "Stadt=Hauptstadt", "Stadion=Nationalstadion",
                                        "Land=Deutschland", "Trikoth0=255,255,129", "Trikoth1=0,0,0",
                                        "Trikoth2=52,86,120", "Trikota0=255,0,0", "Trikota1=255,255,255",
                                        "Trikota2=0,255,0", "Stadionsitz=40000", "Stadionsteh=20000", "Spieler=7"}));
    // Every player of the country from every club, by position then name.
    std::vector<std::string> names;
    for (int k = 1; k <= 7; ++k) names.push_back(get(f, "Spieler" + std::to_string(k), "Name"));
    EXPECT_EQ(names, (std::vector<std::string>{"Müller", "Abel", "Spieler", "Acker", "Bauer", "Lang", "Öztürk"}));
    expectKeys(f, {{"Spieler7", "Position", "5"}, {"Spieler6", "Haarfarbe", "7"}});  // position written as stored
    EXPECT_EQ(p.names().back(), "Spieler7");
    // Progress: the country name apart, the status text stays the target; the position before each player.
    EXPECT_EQ(progress.texts, std::vector<std::string>{f.string()});
    EXPECT_EQ(team, "Deutschland");
    EXPECT_EQ(std::vector<int>(progress.percents.end() - 7, progress.percents.end()),
              (std::vector<int>{0, 14, 28, 42, 57, 71, 85}));

    const ExportResult r = exportNational(src, 3, dir / "n.aet", opt);  // no VEREIN row
    EXPECT_EQ(r.errors.size(), 1u);
}

// Contract lengths and skill sums whose results the game cannot store: the key is left out
// and the run names club and player, instead of writing a wrapped number.
TEST_F(Mini, ValuesTheGameCannotHoldAreReportedNotWrapped) {
    const struct {
        const char* update;  // of SPIELER
        bool national;       // Deutschland's national team instead of FC Adler
        const char* section;
        const char* key;
        const char* value;    // written value, or "<fehlt>"
        const char* message;  // start of the one error, nullptr for none
    } cases[] = {
        {"VERTRAGSLAUFZEIT=9223372036854775807 WHERE SPIELER_ID=1", false, "Spieler1", "Restspiele", "<fehlt>",
         "Verein FC Adler, Spieler Hans Müller (Nummer 1): die Vertragslaufzeit 9223372036854775807 ergibt einen Wert"},
        {"VERTRAGSLAUFZEIT=596 WHERE SPIELER_ID=1", false, "Spieler1", "Restspiele", "<fehlt>",
         "Verein FC Adler, Spieler Hans Müller (Nummer 1): die Vertragslaufzeit 596"},
        {"VERTRAGSLAUFZEIT=595 WHERE SPIELER_ID=1", false, "Spieler1", "Restspiele", "32725", nullptr},
        {"VERTRAGSLAUFZEIT=-1 WHERE SPIELER_ID=1", true, "Spieler1", "Restspiele", "<fehlt>",
         "Nationalteam Deutschland, Spieler Hans Müller (Nummer 1): die Vertragslaufzeit -1"},
        {"SPIELINTELLIGENZ=9223372036854775807 WHERE SPIELER_ID=3", false, "Spieler2", "Staerke", "<fehlt>",
         "Verein FC Adler, Spieler Karl Abel (Nummer 3): die Summe der Fähigkeiten 9223372036854775807"},
        {"SPIELINTELLIGENZ=-1000 WHERE SPIELER_ID=3", false, "Spieler2", "Staerke", "<fehlt>",
         "Verein FC Adler, Spieler Karl Abel (Nummer 3): die Summe der Fähigkeiten -400"},
        {"REFLEXE=-9223372036854775807 WHERE SPIELER_ID=1", false, "Spieler1", "Staerke", "<fehlt>",
         "Verein FC Adler, Spieler Hans Müller (Nummer 1): die Summe der Fähigkeiten"},
        {"VERTRAGSLAUFZEIT=4611686018427387904 WHERE SPIELER_ID=2", false, "Spieler3", "Restspiele", "<fehlt>",
         "Verein FC Adler, Spieler Zico (Nummer 2): die Vertragslaufzeit"},
    };
    int n = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.update);
        const fs::path db = dir / ("z" + std::to_string(++n) + ".mdb");
        zmini::write(db);
        jet::Database(jet::Database::open(db)).executeNative(std::string("UPDATE SPIELER SET ") + c.update);
        const Source bad = Source::open(db);
        const fs::path f = dir / ("x" + std::to_string(n) + ".aet");
        const ExportResult r = c.national ? exportNational(bad, 1, f, opt) : exportClub(bad, 11, f, opt);
        EXPECT_EQ(r.clubFiles, 1);
        expectKeys(f, {{c.section, c.key, c.value}});
        EXPECT_NE(get(f, c.section, "Name"), "<fehlt>");  // the rest of the player is written
        if (!c.message) {
            EXPECT_TRUE(r.ok()) << r.errors.front();
            continue;
        }
        ASSERT_EQ(r.errors.size(), 1u);
        EXPECT_EQ(r.errors[0].rfind(c.message, 0), 0u) << r.errors[0];
        EXPECT_NE(r.errors[0].find(std::string(c.key) + " wurde nicht geschrieben"), std::string::npos) << r.errors[0];
    }
}

TEST_F(Mini, CountryExportWritesIndexFilesAndFolders) {
    const fs::path out = dir / "out";
    const fs::path lan = target(out / "Deutschland.lan");
    testsupport::writeFile(lan, "[Alt]\r\n1=weg\r\n");
    const ExportResult r = exportCountry(src, 1, lan, opt);
    EXPECT_TRUE(r.ok()) << (r.errors.empty() ? "" : r.errors[0]);
    EXPECT_EQ(r.clubFiles, 6);
    EXPECT_EQ(r.indexFiles, 3);

    const Parsed p = parse(lan);
    EXPECT_TRUE(p.header.empty());
    EXPECT_EQ(p.names(), (std::vector<std::string>{"LigaLand", "Regional/Nord", "Bundesliga", "(keine Liga)"}));
    EXPECT_EQ(p.lines("LigaLand"), std::vector<std::string>{"Land=Deutschland"});
    EXPECT_EQ(p.lines("Bundesliga"), (std::vector<std::string>{"11=FC Adler", "13=Blau/Weiß Au"}));
    EXPECT_EQ(p.lines("Regional/Nord"), std::vector<std::string>{"-16=Minus FC"});
    EXPECT_EQ(p.lines("(keine Liga)"), (std::vector<std::string>{"14=Zebra SV", "12=FC Adler II", "15=Zebra SV II"}));

    const fs::path land = out / "Deutschland";
    const Parsed lig = parse(land / "Bundesliga.lig");
    EXPECT_EQ(lig.names(), (std::vector<std::string>{"LigaLand", "Bundesliga"}));
    EXPECT_EQ(lig.lines("Bundesliga"), p.lines("Bundesliga"));
    EXPECT_EQ(parse(land / "RegionalNord.lig").lines("Regional/Nord"), p.lines("Regional/Nord"));

    EXPECT_EQ(tree(out), (std::set<std::string>{"Deutschland.lan", "Deutschland/", "Deutschland/Bundesliga.lig",
                                            "Deutschland/RegionalNord.lig", "Deutschland/Bundesliga/",
                                            "Deutschland/Bundesliga/FC Adler.aet",
                                            "Deutschland/Bundesliga/BlauWeiß Au.aet", "Deutschland/RegionalNord/",
                                            "Deutschland/RegionalNord/Minus FC.aet", "Deutschland/(keine Liga)/",
                                            "Deutschland/(keine Liga)/Zebra SV.aet",
                                            "Deutschland/(keine Liga)/FC Adler II.aet",
                                            "Deutschland/(keine Liga)/Zebra SV II.aet"}));
    // The amateur file carries "2" inside, " II" in its name and index line.
    EXPECT_EQ(get(land / "(keine Liga)" / "FC Adler II.aet", "Team", "Name"), "FC Adler2");
    EXPECT_EQ(progress.texts.front(), lan.string());
    EXPECT_NE(std::find(progress.texts.begin(), progress.texts.end(), "Bundesliga - FC Adler"), progress.texts.end());
    EXPECT_NE(std::find(progress.texts.begin(), progress.texts.end(), "(keine Liga) - Zebra SV II"), progress.texts.end());
    EXPECT_EQ(progress.percents.back(), 100);
}

TEST_F(Mini, LeagueAndNoLeagueExports) {
    const fs::path lig = target(dir / "l" / "Bundesliga (Deutschland).lig");
    ASSERT_TRUE(exportLeague(src, 1, 10, lig, opt).ok());
    Parsed p = parse(lig);
    EXPECT_EQ(p.names(), (std::vector<std::string>{"LigaLand", "Bundesliga"}));
    EXPECT_EQ(p.lines("Bundesliga"), (std::vector<std::string>{"11=FC Adler", "13=Blau/Weiß Au"}));
    EXPECT_EQ(tree(lig.parent_path()), (std::set<std::string>{"Bundesliga (Deutschland).lig", "Bundesliga/", "Bundesliga/FC Adler.aet",
                                            "Bundesliga/BlauWeiß Au.aet"}));

    const fs::path none = target(dir / "n" / "x.lig");
    ASSERT_TRUE(exportLeague(src, 1, std::nullopt, none, opt).ok());
    p = parse(none);
    EXPECT_EQ(p.names(), (std::vector<std::string>{"LigaLand", "(keine Liga)"}));
    EXPECT_EQ(keysOf(p.lines("(keine Liga)")), (std::vector<std::string>{"14", "12", "15"}));
    EXPECT_TRUE(fs::exists(none.parent_path() / "(keine Liga)" / "Zebra SV II.aet"));
    EXPECT_FALSE(fs::exists(none.parent_path() / "Bundesliga"));
}

TEST_F(Mini, AllCountriesLeavesNoAllFile) {
    const fs::path all = target(dir / "alle" / "alleSpieler.all");
    testsupport::writeFile(all, "alt");
    ASSERT_TRUE(exportAllCountries(src, all, opt).ok());
    EXPECT_FALSE(fs::exists(all));
    std::set<std::string> top;
    for (const auto& e : fs::directory_iterator(all.parent_path())) top.insert(e.path().filename().string());
    EXPECT_EQ(top, (std::set<std::string>{"Brasilien.lan", "Brasilien", "Deutschland.lan", "Deutschland"}));
    EXPECT_EQ(parse(all.parent_path() / "Brasilien.lan").lines("(keine Liga)"), std::vector<std::string>{"17=Amigos"});
}

TEST_F(Mini, UnwritableTargetsAreReported) {
    // A plain file where a folder should be: nothing can be created below it.
    const fs::path ro = dir / "datei";
    testsupport::writeFile(ro, "x");
    ExportResult r = exportClub(src, 11, ro / "x.aet", opt);
    ASSERT_EQ(r.errors.size(), 1u);
    EXPECT_NE(r.errors[0].find("konnte nicht geschrieben werden"), std::string::npos);
    r = exportCountry(src, 1, ro / "Deutschland.lan", opt);
    EXPECT_FALSE(r.ok());
    EXPECT_EQ(r.clubFiles, 0);
    EXPECT_NE(r.errors.back().find("Deutschland.lan"), std::string::npos);  // the index file too
}

TEST_F(Mini, MenuRequestsRunTheSameExports) {
    ExportMenu m = ExportMenu::initial();
    apply(nodeClick(nodeContext(src, "T11"), 0), m);
    const auto req = exportRequest(2, "T11", m);
    ASSERT_TRUE(req);
    const fs::path f = target(dir / "m" / "b.lig");
    ASSERT_TRUE(runExport(src, *req, f, opt).ok());
    EXPECT_EQ(parse(f).names(), (std::vector<std::string>{"LigaLand", "Bundesliga"}));
}

TEST(DemoExport, AllCountriesFileByFile) {
    TempDir dir;
    demo::writeZentorDatabase(dir / "z.mdb", {});
    const Source src = Source::open(dir / "z.mdb");
    const fs::path out = dir / "out";
    fs::create_directories(out);
    RandomSource rnd(5);
    ExportOptions opt;
    opt.random = &rnd;
    opt.dateTime = kWhen;
    const ExportResult r = exportAllCountries(src, out / "alleSpieler.all", opt);
    ASSERT_TRUE(r.ok()) << r.errors[0];

    std::set<fs::path> clubFiles;
    for (const auto& e : fs::recursive_directory_iterator(out))
        if (e.path().extension() == ".aet") clubFiles.insert(e.path());

    // Every index line finds its club file as the editor looks for it, and every club file
    // is named by some index line.
    std::set<fs::path> named;
    int lans = 0, lines = 0;
    for (const TreeNode& n : src.tree()) {
        if (n.kind != NodeKind::Country) continue;
        const fs::path lan = out / (exportFileName(n.text) + ".lan");
        ASSERT_TRUE(fs::exists(lan)) << lan;
        ++lans;
        const Parsed p = parse(lan);
        ASSERT_FALSE(p.names().empty());
        EXPECT_EQ(p.names().front(), "LigaLand");
        EXPECT_EQ(p.lines("LigaLand"), std::vector<std::string>{"Land=" + n.text});
        for (const auto& [section, body] : p.sections) {
            if (section == "LigaLand") continue;
            const fs::path folder = out / exportFileName(n.text) / exportFileName(section);
            if (section != "(keine Liga)") {
                const Parsed lig = parse(out / exportFileName(n.text) / (exportFileName(section) + ".lig"));
                EXPECT_EQ(lig.lines(section), body);
            }
            for (const std::string& line : body) {
                ++lines;
                const fs::path club = folder / (exportFileName(line.substr(line.find('=') + 1)) + ".aet");
                EXPECT_TRUE(fs::exists(club)) << club;
                named.insert(club);
                const Id team = std::stoll(line.substr(0, line.find('=')));
                if (team < 0) continue;
                // Spot checks against the model for the first teams.
                if (auto row = src.firstTeamClub(team)) {
                    const Parsed c = parse(club);
                    EXPECT_EQ(c.header.size(), 3u);
                    if (profile::getString("Team", "Name", "", club) != row->longName) continue;  // shared file name
                    EXPECT_EQ(keysOf(c.lines("Team")).front(), "Name");
                    Source::ListState state;
                    const auto players = src.teamPlayers(team, &state);
                    if (state == Source::ListState::Blank) continue;
                    EXPECT_EQ(profile::getInt("Team", "Spieler", club), static_cast<long>(players.size()));
                    for (std::size_t k = 0; k < players.size(); ++k) {
                        const auto& pl = *players[k];
                        const std::string s = "Spieler" + std::to_string(k + 1);
                        EXPECT_EQ(profile::getString(s, "Name", "", club),
                                  pl.stageName.empty() ? pl.name.value_or("") : pl.stageName);
                        const auto keys = keysOf(c.lines(s));
                        EXPECT_TRUE(inKeyOrder(keys)) << club << " " << s;
                    }
                }
            }
        }
    }
    EXPECT_EQ(lans, static_cast<int>(src.countries().size()));
    EXPECT_EQ(named, clubFiles);
    EXPECT_EQ(r.clubFiles, lines);  // one club file per index line; equal names share a file

    // The same seed writes the same files.
    const fs::path again = target(dir / "again" / "x.all").parent_path();
    RandomSource rnd2(5);
    opt.random = &rnd2;
    ASSERT_TRUE(exportAllCountries(src, again / "x.all", opt).ok());
    for (const auto& f : clubFiles) EXPECT_EQ(readFile(f), readFile(again / fs::relative(f, out))) << f;
}
