// Player pictures: which files are offered, what a file name asks for, and the walk over a
// folder of photos named after demo players.
#include "common/jetdb.h"
#include "common/jetsql.h"
#include "demo/demoworld.h"
#include "editor/tools/playerpictures.h"
#include "testsupport.h"

#include <QString>
#include <gtest/gtest.h>

#include <map>

namespace fs = std::filesystem;
using testsupport::readFile;
using testsupport::TempDir;
using testsupport::writeFile;

TEST(PlayerPictures, OfferedFilesStartWithALetterAndEndInJpg)
{
    const struct {
        const char* name;
        bool offered;
    } cases[] = {{"Müller.jpg", true},  {"müller_t.JPG", true}, {"Ölmann.Jpg", true}, {"über.jpg", true},
                 {"Äpfel.jpg", true},   {"z.jpg", true},        {"1234.jpg", false},  {"7Müller.jpg", false},
                 {"_Müller.jpg", false}, {"ßmann.jpg", false},  {"Émile.jpg", false}, {"Müller.jpeg", false},
                 {"Müller.png", false}, {".jpg", false}};
    for (const auto& c : cases)
        EXPECT_EQ(playerpictures::offered(c.name), c.offered) << c.name;
}

TEST(PlayerPictures, FileNamesGiveNameAndFirstNameInitial)
{
    const struct {
        const char* file;
        const char* name;
        const char* vorname;  // nullptr: the name alone
    } cases[] = {{"Müller_Tom.jpg", "Müller", "T."},   {"Müller.jpg", "Müller", nullptr},
                 {"Öl_Örjan.jpg", "Öl", "Ö."},         {"van Berg_j.jpg", "van Berg", "j."},
                 {"Roß_Ute_2.jpg", "Roß", "U."},       {"St. Pauli.jpg", "St", nullptr}};
    for (const auto& c : cases) {
        const auto key = playerpictures::parseName(c.file);
        EXPECT_EQ(key.name, c.name) << c.file;
        EXPECT_EQ(key.vorname.has_value(), c.vorname != nullptr) << c.file;
        if (c.vorname && key.vorname) {
            EXPECT_EQ(*key.vorname, c.vorname) << c.file;
        }
    }
}

namespace {

long long scalar(jet::Database& db, const std::string& sql) { return db.query(sql).field(0).toInt(); }

// A demo player whose surname no other player has; its first name stored as the game does.
long long uniquePlayer(jet::Database& db, const std::string& namePattern, const char* initial)
{
    const long long n = scalar(db, "SELECT min(s.NUMMER) FROM spieler s WHERE s.NAME LIKE " + jetsql::quote(namePattern) +
                                       " AND (SELECT count(*) FROM spieler t WHERE t.NAME = s.NAME) = 1");
    if (initial) db.execute("UPDATE spieler SET VORNAME=" + jetsql::quote(initial) + " WHERE NUMMER=" + std::to_string(n));
    return n;
}

std::string nameOf(jet::Database& db, long long n)
{
    return db.query("SELECT NAME FROM spieler WHERE NUMMER=" + std::to_string(n)).field(0).toString();
}

std::map<std::string, std::string> folderContents(const fs::path& dir)
{
    std::map<std::string, std::string> files;
    for (const auto& e : fs::directory_iterator(dir))
        files[e.path().filename().string()] = fs::is_regular_file(e.path()) ? readFile(e.path()) : "<dir>";
    return files;
}

std::string lower(std::string s)
{
    return QString::fromStdString(s).toLower().toStdString();
}

}  // namespace

TEST(PlayerPictures, WalkRenamesExactlyTheFilesOfOnePlayer)
{
    TempDir tmp;
    demo::writeDatabase(tmp / "kickora.mdb", {1, 3});
    jet::Database db = jet::Database::open(tmp / "kickora.mdb");
    const fs::path dir = tmp / "spielerbilder";
    fs::create_directories(dir);

    const long long byName = uniquePlayer(db, "S*", nullptr);
    const long long byInitial = uniquePlayer(db, "B*", "T.");
    const long long umlaut = uniquePlayer(db, "Ö*", nullptr);
    const long long fullFirstName = uniquePlayer(db, "K*", nullptr);
    const long long quoted = 900001;
    db.execute("INSERT INTO spieler (NUMMER, NAME, VORNAME) VALUES (900001, 'O\"Brien', 'P.')");
    const std::string shared =
        db.query("SELECT NAME FROM spieler GROUP BY NAME HAVING count(*) > 1 ORDER BY NAME").field(0).toString();
    ASSERT_TRUE(byName && byInitial && umlaut && fullFirstName && !shared.empty());

    const std::map<std::string, long long> renamed = {
        {nameOf(db, byName) + ".jpg", byName},
        {lower(nameOf(db, byInitial)) + "_Tom.JPG", byInitial},
        {lower(nameOf(db, umlaut)) + ".jpg", umlaut},
        {"O\"Brien_Pat.jpg", quoted},
    };
    const std::vector<std::string> kept = {
        nameOf(db, fullFirstName) + "_Xaver.jpg",  // stored with the whole first name, not as "X."
        shared + ".jpg",                           // several players
        "Niemandsname.jpg",
        "7" + nameOf(db, byName) + ".jpg",
        "12.jpg",
        nameOf(db, byName) + ".png",
    };
    for (const auto& [file, n] : renamed) writeFile(dir / file, "bild von " + file);
    for (const auto& file : kept) writeFile(dir / file, "bleibt " + file);
    writeFile(dir / (std::to_string(byName) + ".jpg"), "altes Bild");  // replaced without a question
    const auto before = folderContents(dir);

    // The lookup of all files at once finds what the lookup of each file finds.
    const auto files = playerpictures::pictureFiles(dir);
    std::vector<playerpictures::NameKey> keys;
    for (const auto& f : files) keys.push_back(playerpictures::parseName(f));
    const auto all = playerpictures::findPlayersOfAll(db, keys);
    ASSERT_EQ(all.size(), files.size());
    for (std::size_t i = 0; i < files.size(); ++i) {
        std::vector<long long> one, many;
        for (const auto& c : playerpictures::findPlayers(db, keys[i])) one.push_back(c.number);
        for (const auto& c : all[i]) many.push_back(c.number);
        EXPECT_EQ(many, one) << files[i];
    }

    // A dry run says the same and touches nothing.
    std::map<std::string, std::string> said;
    for (const auto& o : playerpictures::renameAll(db, dir, true))
        said[o.file] = o.players.size() == 1 ? o.newName : "?";
    EXPECT_EQ(folderContents(dir), before);

    std::map<std::string, std::string> expectedSaid{{shared + ".jpg", "?"}};
    std::map<std::string, std::string> expected;
    for (const auto& file : kept) expected[file] = "bleibt " + file;
    for (const auto& [file, n] : renamed) {
        expectedSaid[file] = std::to_string(n) + ".jpg";
        expected[std::to_string(n) + ".jpg"] = "bild von " + file;
    }
    EXPECT_EQ(said, expectedSaid);
    for (const auto& o : playerpictures::renameAll(db, dir, false)) EXPECT_EQ(o.error, "") << o.file;
    EXPECT_EQ(folderContents(dir), expected);
}

TEST(PlayerPictures, FailuresKeepEveryFile)
{
    TempDir tmp;
    const fs::path dir = tmp / "bilder";
    EXPECT_NE(playerpictures::checkFolder(dir, false).find("gibt es nicht"), std::string::npos);
    fs::create_directories(dir / "42.jpg");  // a folder where the target would go
    fs::create_directories(dir / "abc.jpg");  // folders are never offered
    writeFile(dir / "Müller.jpg", "bild");
    writeFile(dir / "43.JPG", "alt");
    EXPECT_EQ(playerpictures::checkFolder(dir), "");
    EXPECT_EQ(playerpictures::pictureFiles(dir), std::vector<std::string>{"Müller.jpg"});

    EXPECT_NE(playerpictures::renamePicture(dir, "Müller.jpg", 42), "");
    EXPECT_EQ(readFile(dir / "Müller.jpg"), "bild");
    EXPECT_NE(playerpictures::renamePicture(dir, "../Müller.jpg", 44), "");
    // The old picture in another letter case is the one replaced.
    std::string newName;
    EXPECT_EQ(playerpictures::renamePicture(dir, "Müller.jpg", 43, &newName), "");
    EXPECT_EQ(newName, "43.JPG");
    EXPECT_EQ(readFile(dir / "43.JPG"), "bild");
    EXPECT_FALSE(fs::exists(dir / "Müller.jpg"));
}
