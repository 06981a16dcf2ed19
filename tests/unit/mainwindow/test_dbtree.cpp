#include "mainwindow/dbtree.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "common/collation.h"
#include "common/jetsql.h"
#include "common/progress.h"
#include "demo/demoworld.h"
#include "foundation/dao.h"
#include "foundation/schema.h"
#include "testsupport.h"

using dbtree::KeyKind;

namespace {

struct StatusRecorder final : ProgressSink {
    std::vector<std::string> texts;
    void status(const std::string& t) override { texts.push_back(t); }
    void percent(int) override {}
};

const dbtree::Node* find(const dbtree::Tree& tree, const std::string& key) {
    for (const auto& n : tree.nodes)
        if (n.key == key) return &n;
    return nullptr;
}

std::vector<std::string> childrenOf(const dbtree::Tree& tree, const std::string& parent) {
    std::vector<std::string> texts;
    for (const auto& n : tree.nodes)
        if (n.parent == parent) texts.push_back(n.text);
    return texts;
}

// A small hand-made world on the real schema.
struct TreeDb : ::testing::Test {
    testsupport::TempDir dir;
    Dao dao;
    StatusRecorder progress;
    void SetUp() override {
        {
            jet::Database db = jet::Database::open(dir / "kickora.mdb", true);
            schema::createGameSchema(db);
        }
        dao.open(dir / "kickora.mdb");
    }
    void country(int n, const std::string& name, const std::string& continent, const std::string& nation) {
        dao.execute("INSERT INTO vereine_national (NUMMER,NAME,KONTINENT,NATION) VALUES (" + std::to_string(n) + "," +
                    jetsql::quote(name) + "," + jetsql::quote(continent) + "," + jetsql::quote(nation) + ")");
    }
    void club(int n, const std::string& name, const std::string& nation) {
        dao.execute("INSERT INTO vereine (NUMMER,NAME,NATION) VALUES (" + std::to_string(n) + "," + jetsql::quote(name) +
                    "," + jetsql::quote(nation) + ")");
    }
    long long scalar(const std::string& sql) { return dao.query(sql, 1).field(0).toInt(); }
};

}  // namespace

TEST(TreeKeys, EveryKindOfKey) {
    struct Case {
        const char* key;
        KeyKind kind;
        long long number;
    } cases[] = {
        {"L-1", KeyKind::None, 0},         {"West-Europa", KeyKind::None, 0}, {"Asien", KeyKind::None, 0},
        {"T0", KeyKind::TransferMarket, 0}, {"T42", KeyKind::Club, 42},       {"L7", KeyKind::Country, 7},
        {"L0", KeyKind::Country, 0},        {"L12_", KeyKind::NewCountry, 12}, {"T450_", KeyKind::NewClub, 450},
        {"T", KeyKind::None, 0},            {"Tx1", KeyKind::None, 0},        {"T_", KeyKind::None, 0},
        {"", KeyKind::None, 0},
    };
    for (const Case& c : cases) {
        const dbtree::KeyInfo info = dbtree::classifyKey(c.key);
        EXPECT_EQ(info.kind, c.kind) << c.key;
        if (c.kind != KeyKind::None) {
            EXPECT_EQ(info.number, c.number) << c.key;
        }
    }
    EXPECT_EQ(dbtree::leadingNumber("  12abc"), 12);
    EXPECT_EQ(dbtree::leadingNumber("-1"), -1);
    EXPECT_EQ(dbtree::leadingNumber("abc"), 0);
}

TEST_F(TreeDb, EmptyWorldGetsTheTransferMarketOnce) {
    dbtree::Tree tree = dbtree::load_dbteam(dao, progress);
    EXPECT_TRUE(tree.errors.empty());
    EXPECT_TRUE(tree.transferMarketCreated);
    ASSERT_EQ(tree.nodes.size(), 14u);
    EXPECT_EQ(tree.nodes[0].key, "L-1");
    EXPECT_EQ(tree.nodes[0].text, "Kickora");
    EXPECT_EQ(tree.nodes[1].key, "T0");
    EXPECT_EQ(tree.nodes[1].text, "TRANSFERMARKT");
    EXPECT_EQ(tree.nodes[1].parent, "L-1");
    for (int i = 0; i < schema::kContinentCount; ++i) {
        EXPECT_EQ(tree.nodes[2 + i].key, schema::kContinents[i]);
        EXPECT_EQ(tree.nodes[2 + i].parent, "");
        EXPECT_EQ(tree.nodes[2 + i].image, dbtree::ImageContinent);
    }
    EXPECT_EQ(std::count(progress.texts.begin(), progress.texts.end(), "Erstelle Transfermarkt..."), 1);
    EXPECT_EQ(progress.texts.back(), "");

    EXPECT_EQ(scalar("SELECT GRAFIK_NR FROM vereine WHERE NUMMER=0"), 999);
    EXPECT_EQ(dao.query("SELECT STAERKE FROM vereine WHERE NUMMER=0").field(0).toString(), "NULL");
    EXPECT_EQ(scalar("SELECT count(*) FROM vereinspieler WHERE verein=0"), 1700);
    EXPECT_EQ(scalar("SELECT count(*) FROM spieler WHERE NATION=\"TRANSFERMARKT\""), 1700);

    tree = dbtree::load_dbteam(dao, progress);
    EXPECT_FALSE(tree.transferMarketCreated);
    EXPECT_EQ(find(tree, "T0")->text, "TRANSFERMARKT");
    EXPECT_EQ(scalar("SELECT count(*) FROM spieler"), 1700);
}

TEST_F(TreeDb, CountriesClubsAndPickLists) {
    country(1, "Deutschland", "West-Europa", "Deutschland");
    country(2, "Atlantika", "Atlantis", "Atlantisches Reich");
    country(3, "Nirgendwo", "Mond", "Nirgendwo");  // no such continent
    country(4, "Brasilien", "Süd-Amerika", "Brasilien");
    club(10, "Zebras", "Deutschland");
    club(11, "Adler", "Deutschland");
    club(12, "Mondkicker", "Nirgendwo");
    club(13, "Heimatlos", "Kein Land");  // its nation names no country
    club(14, "Tritonen", "Atlantika");
    country(5, "Côte d'Ivoire \"CI\"", "Süd-Afrika", "Côte d'Ivoire \"CI\"");  // quotes in the name
    club(20, "Elefanten", "Côte d'Ivoire \"CI\"");
    const dbtree::Tree tree = dbtree::load_dbteam(dao, progress);
    EXPECT_TRUE(tree.errors.empty());

    EXPECT_EQ(childrenOf(tree, "West-Europa"), std::vector<std::string>{"Deutschland"});
    EXPECT_EQ(find(tree, "L1")->image, dbtree::ImageCountry);
    EXPECT_EQ(childrenOf(tree, "L1"), (std::vector<std::string>{"Adler", "Zebras"}));
    EXPECT_EQ(find(tree, "T11")->parent, "L1");
    EXPECT_EQ(find(tree, "T11")->image, dbtree::ImageClub);
    EXPECT_EQ(find(tree, "L2")->nation, "Atlantisches Reich");
    EXPECT_EQ(find(tree, "L3"), nullptr);
    EXPECT_EQ(find(tree, "T12"), nullptr);
    EXPECT_EQ(find(tree, "T13"), nullptr);
    EXPECT_EQ(childrenOf(tree, "L5"), std::vector<std::string>{"Elefanten"});

    // By country name: a differing nation follows its name; the unplaced country is listed too.
    EXPECT_EQ(tree.lists.countries, (std::vector<std::string>{"Atlantika", "Atlantisches Reich", "Brasilien",
                                                             "Côte d'Ivoire \"CI\"", "Deutschland", "Nirgendwo"}));
    std::map<long long, std::string> clubs;
    for (const auto& c : tree.lists.clubs) clubs[c.number] = c.text;
    EXPECT_EQ(clubs, (std::map<long long, std::string>{{10, "Zebras (Deutschland)"},
                                                       {11, "Adler (Deutschland)"},
                                                       {12, "Mondkicker (Nirgendwo)"},
                                                       {14, "Tritonen (Atlantisches Reich)"},
                                                       {20, "Elefanten (Côte d'Ivoire \"CI\")"}}));
    // Parents always come before their children.
    for (std::size_t i = 0; i < tree.nodes.size(); ++i) {
        if (tree.nodes[i].parent.empty()) continue;
        bool before = false;
        for (std::size_t j = 0; j < i; ++j) before |= tree.nodes[j].key == tree.nodes[i].parent;
        EXPECT_TRUE(before) << tree.nodes[i].key;
    }
}

TEST(TreeWithoutDatabase, RootAndContinentsOnly) {
    Dao dao;
    NullProgress progress;
    const dbtree::Tree tree = dbtree::load_dbteam(dao, progress);
    EXPECT_EQ(tree.nodes.size(), 13u);
    EXPECT_EQ(tree.nodes[0].key, "L-1");
    EXPECT_FALSE(tree.errors.empty());
    EXPECT_TRUE(tree.lists.countries.empty());
}

TEST(TreeOnDemoWorld, EveryCountryAndClubIsPlaced) {
    testsupport::TempDir dir;
    demo::writeDatabase(dir / "kickora.mdb", demo::Options{1, 3});
    Dao dao;
    dao.open(dir / "kickora.mdb");
    NullProgress progress;
    const dbtree::Tree tree = dbtree::load_dbteam(dao, progress);
    EXPECT_TRUE(tree.errors.empty());
    EXPECT_TRUE(tree.transferMarketCreated);
    const long long countries = dao.query("SELECT count(*) FROM vereine_national").field(0).toInt();
    const long long clubs = dao.query("SELECT count(*) FROM vereine WHERE NUMMER>0").field(0).toInt();
    EXPECT_EQ(static_cast<long long>(tree.nodes.size()), 2 + 12 + countries + clubs);
    EXPECT_EQ(static_cast<long long>(tree.lists.clubs.size()), clubs);

    // Names in Jet's order: Ä with A, Ö with O.
    EXPECT_EQ(childrenOf(tree, "Nord-Afrika"), (std::vector<std::string>{"Ägypten", "Marokko", "Tunesien"}));
    const auto& names = tree.lists.countries;
    EXPECT_TRUE(std::is_sorted(names.begin(), names.end(), collation::Less()));
}
