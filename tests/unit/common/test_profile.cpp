#include "common/profile.h"

#include "testsupport.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <array>
#include <climits>
#include <string>
#include <vector>

namespace fs = std::filesystem;
using testsupport::readFile;
using testsupport::TempDir;
using testsupport::writeFile;
using Lines = std::vector<std::string>;

namespace {

// Windows-1252 with CR LF, the way the game's tools leave such files.
const std::string kSample =
    ";Datenexport vom 01.02.2024 10:11:12\r\n"
    "[Team]\r\n"
    "Name=FC Gr\xFCnwald\r\n"
    "  Stadt  =   M\xFCnchen   \r\n"
    "Farbe1=\"255,0,0\"\r\n"
    "; Kommentar im Abschnitt\r\n"
    "nur ein Wort\r\n"
    "\r\n"
    "[ Spieler1 ]\r\n"
    "Name=M\xFCller\r\n"
    "St\xC4RKE=7000\r\n"
    "\r\n"
    "\r\n";

fs::path sampleFile(const TempDir& dir, const std::string& bytes = kSample) {
    const fs::path f = dir / "datei.aet";
    writeFile(f, bytes);
    return f;
}

size_t countFiles(const fs::path& dir) {
    size_t n = 0;
    for ([[maybe_unused]] const auto& e : fs::directory_iterator(dir)) ++n;
    return n;
}

}  // namespace

TEST(ProfileRead, NamesTrimmedWithoutCaseQuotesDefaultsAndDuplicates) {
    TempDir dir;
    struct Case {
        std::string file, section, key, def, want;
    };
    const std::string quotes = "[q]\r\na=\"x y\"\r\nb='z'\r\nc=\"open\r\nd=\"\r\ne=\"\"\r\nf=\"a'\r\n"
                               "g=  \" inner \"  \r\nbare\r\nempty=\r\n";
    const std::string dups = "top=1\n[A]\nk=first\nk=second\n[a]\nk=third\nx=4\n";
    const Case cases[] = {
        {kSample, "team", "NAME", "-", "FC Grünwald"}, {kSample, "  Team ", " stadt\t", "-", "München"},
        {kSample, "SPIELER1", "stärke", "-", "7000"},  // umlaut in another case
        {kSample, "Spieler1", "STÄRKE", "-", "7000"}, {kSample, "Spieler 1", "Name", "-", "-"},
        {quotes, "q", "a", "", "x y"}, {quotes, "q", "b", "", "z"}, {quotes, "q", "c", "", "\"open"},
        {quotes, "q", "d", "", "\""}, {quotes, "q", "e", "-", ""}, {quotes, "q", "f", "", "\"a'"},
        {quotes, "q", "g", "", " inner "}, {quotes, "q", "empty", "-", ""},
        {quotes, "q", "bare", "def", "def"},  // a line without '=' has no value
        {dups, "a", "k", "", "first"},
        {dups, "a", "x", "-", "-"},  // only the first section of a name counts
        {dups, "", "top", "-", "-"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(profile::getString(c.section, c.key, c.def, sampleFile(dir, c.file)), c.want) << c.section << "." << c.key;
    EXPECT_EQ(profile::sectionNames(sampleFile(dir, dups)), (Lines{"A", "a"}));
    EXPECT_EQ(profile::getString("q", "a", "def", dir / "fehlt.ini"), "def");
    EXPECT_FALSE(fs::exists(dir / "fehlt.ini"));
}

TEST(ProfileRead, Integers) {
    TempDir dir;
    const fs::path f = sampleFile(dir, "[n]\na=42\nb=-17\nc=+5\nd=  12abc\ne=abc\nf=\"30\"\ng=99999999999999999999\n"
                                       "h=-99999999999999999999\ni=\nj=42A94967297\nk=B4294967297\nl=-1\n"
                                       "m=4294967297\n");
    // Windows wraps numbers beyond 32 bits (4294967297 reads 1); here a number too large for
    // a long reads as the largest one, so that range checks of the callers see it.
    const std::pair<const char*, long> cases[] = {
        {"a", 42},      {"B", -17},       {"c", 5}, {"d", 12}, {"e", 0}, {"f", 30}, {"g", LONG_MAX}, {"h", LONG_MIN},
        {"i", 0},       {"missing", 0},   {"j", 42}, {"k", 0},  {"l", -1}, {"m", 4294967297L}};
    for (auto [key, want] : cases) EXPECT_EQ(profile::getInt("n", key, f), want) << key;
    EXPECT_EQ(profile::getInt("n", "a", dir / "fehlt.ini"), 0);
}

TEST(ProfileRead, SectionNamesAndSectionLines) {
    TempDir dir;
    const fs::path f = sampleFile(dir, kSample + "[]\r\nq=1\r\n[Leer]\r\n=ohne Namen\r\n[offen\r\n");
    EXPECT_EQ(profile::sectionNames(f), (Lines{"Team", "Spieler1", "Leer"}));   // "[]" has no name to list
    // trimmed around '=', values with their quotes, bare lines kept, comments and blanks left out
    EXPECT_EQ(profile::sectionLines("TEAM", f),
              (Lines{"Name=FC Grünwald", "Stadt=München", "Farbe1=\"255,0,0\"", "nur ein Wort"}));
    EXPECT_EQ(profile::sectionLines("leer", f), (Lines{"=ohne Namen", "[offen"}));
    EXPECT_TRUE(profile::sectionLines("fehlt", f).empty());
    EXPECT_TRUE(profile::sectionNames(dir / "fehlt.ini").empty());
}

// What the conformance tests of the Windows profile functions expect of Windows.
TEST(ProfileWindows, ReadStringWithCrLfAndCrOnly) {
    TempDir dir;
    struct Case {
        std::string section, key, def, want;
    };
    const Case cases[] = {
        {"section1", "name1", "default", "val1"},    {"section1", "NaMe1", "default", "val1"},
        {"section1", "name2", "default", "val2"},    // quotes stripped
        {"section1", "name4", "default", "a"},       {"section1", "name3", "default", "default"},  // no '='
        {"section1", "notakey", "default", "default"}, {"section1", "", "default  ", "default"},
        {"notasection", "name1", "default", "default"}, {"", "name1", "one two  ", "one two"},
        {"section2", "DoesntExist", "", ""},
    };
    for (const std::string eol : {"\r\n", "\r"}) {
        const std::string content = "[section1]" + eol + "name1=val1" + eol + "name2=\"val2\"" + eol + "name3" + eol +
                                    "name4=a" + eol + "[section2]" + eol;
        const fs::path f = sampleFile(dir, content);
        for (const auto& c : cases)
            EXPECT_EQ(profile::getString(c.section, c.key, c.def, f), c.want) << c.section << "." << c.key << " " << eol.size();
        EXPECT_EQ(profile::sectionNames(f), (Lines{"section1", "section2"}));
        EXPECT_EQ(profile::sectionLines("section1", f), (Lines{"name1=val1", "name2=\"val2\"", "name3", "name4=a"}));
    }
}

TEST(ProfileWindows, NamelessEntriesEmptySectionNameAndTrailingNul) {
    TempDir dir;
    // Files written with their terminating NUL byte.
    auto withNul = [](std::string s) { return s + '\0'; };
    const fs::path f = sampleFile(dir, withNul("[section1]\r\nname1=val1\r\nname2=\r\nname3\r\nname4=val4\r\n"
                                               "[section2]\r\n[section3]\r\n=val5\r\n"));
    const std::pair<const char*, Lines> lists[] = {{"section1", {"name1=val1", "name2=", "name3", "name4=val4"}},
                                                   {"section2", {}},
                                                   {"section3", {"=val5"}}};
    for (const auto& [section, want] : lists) EXPECT_EQ(profile::sectionLines(section, f), want) << section;

    const fs::path names = sampleFile(dir, withNul("[ section1 ]\r\n[section2]\r\n[section3]\r\n"));
    EXPECT_EQ(profile::sectionNames(names), (Lines{"section1", "section2", "section3"}));

    const fs::path g = sampleFile(dir, withNul("\r\nkey=val_no_section\r\n[]\r\nkey=val_e_section\r\n"
                                               "[s]\r\n=val_no_key\r\n[t]\r\n"));
    EXPECT_EQ(profile::getString("", "key", "default", g), "val_e_section");
    EXPECT_EQ(profile::getString("s", "", "default", g), "val_no_key");

    // a key added to the last section of such a file can be read back
    const fs::path h = sampleFile(dir, withNul("[s]\r\nname1=val1\r\nname2=\r\nname3\r\nname4=val4\r\n"));
    ASSERT_TRUE(profile::writeString("s", "name5", "val5", h));
    EXPECT_EQ(profile::getString("s", "name5", "", h), "val5");
    EXPECT_EQ(profile::sectionLines("s", h), (Lines{"name1=val1", "name2=", "name3", "name4=val4", "name5=val5"}));
}

TEST(ProfileWindows, FilesBuiltKeyByKey) {
    struct Write {
        const char *section, *key, *value;
    };
    struct Case {
        std::string start;  // empty: no file yet
        std::vector<Write> writes;
        std::string want;
    };
    const Case cases[] = {
        {"",
         {{"App1", "key1", "string1"}, {"App1", "key2", "string2"}, {"App1", "key3", "string3"},
          {"App2", "key4", "string4"}, {"App3", "key5", "string5"}},
         "[App1]\r\nkey1=string1\r\nkey2=string2\r\nkey3=string3\r\n[App2]\r\nkey4=string4\r\n[App3]\r\n"
         "key5=string5\r\n"},
        {"", {{"App", "key", ""}}, "[App]\r\nkey=\r\n"},
        {std::string("Data \0 before \0 first \0 section", 31),
         {{"section1", "key1", "string1"}},
         std::string("Data \0 before \0 first \0 section\r\n[section1]\r\nkey1=string1\r\n", 59)},
    };
    for (const auto& c : cases) {
        TempDir dir;
        const fs::path f = dir / "built.ini";
        if (!c.start.empty()) writeFile(f, c.start);
        for (const auto& w : c.writes) ASSERT_TRUE(profile::writeString(w.section, w.key, w.value, f));
        EXPECT_EQ(readFile(f), c.want);
    }
}

TEST(ProfileRead, LfOnlyUtf8BomAndUnreadableFiles) {
    TempDir dir;
    const fs::path lf = sampleFile(dir, "[a]\nk=\xC4\n\n[b]\r\nk=2\r\n");
    EXPECT_EQ(profile::getString("A", "k", "", lf), "Ä");
    EXPECT_EQ(profile::getString("b", "k", "", lf), "2");

    // a file saved as UTF-8 with byte order mark is read and written as UTF-8
    const fs::path bom = dir / "bom.ini";
    writeFile(bom, "\xEF\xBB\xBF[Länder]\r\nÖsterreich=1\r\n");
    EXPECT_EQ(profile::getString("LÄNDER", "österreich", "", bom), "1");
    EXPECT_TRUE(profile::writeString("länder", "Schweiz", "Zürich", bom));
    EXPECT_EQ(readFile(bom), "\xEF\xBB\xBF[Länder]\r\nÖsterreich=1\r\nSchweiz=Zürich\r\n");

    // a folder where the file should be: read as missing, never written
    fs::create_directory(dir / "ordner.ini");
    EXPECT_EQ(profile::getString("a", "k", "def", dir / "ordner.ini"), "def");
    EXPECT_FALSE(profile::writeString("a", "k", "v", dir / "ordner.ini"));
    EXPECT_TRUE(fs::is_directory(dir / "ordner.ini"));
}

TEST(ProfileWrite, CreatesFileWithCrLfAndWindows1252) {
    TempDir dir;
    const fs::path f = dir / "neu.ini";
    ASSERT_TRUE(profile::writeString("ordner", "attribute", "/spiel/attribute/", f));
    ASSERT_TRUE(profile::writeString("Spieler", "Name", "  Jürgen Ärger ", f));
    EXPECT_EQ(readFile(f), "[ordner]\r\nattribute=/spiel/attribute/\r\n[Spieler]\r\nName=J\xFCrgen \xC4rger\r\n");
    EXPECT_EQ(profile::getString("spieler", "name", "", f), "Jürgen Ärger");
    EXPECT_EQ(countFiles(dir.path()), 1u);   // no temporary file left behind
    EXPECT_FALSE(profile::writeString("a", "k", "v", dir / "kein_ordner" / "x.ini"));
}

TEST(ProfileWrite, ReplacesInPlaceKeepingEverythingElse) {
    TempDir dir;
    const fs::path f = sampleFile(dir);
    ASSERT_TRUE(profile::writeString("TEAM", "stadt", "Köln", f));
    std::string expected = kSample;
    const std::string old = "  Stadt  =   M\xFCnchen   ";
    expected.replace(expected.find(old), old.size(), "Stadt=K\xF6ln");
    EXPECT_EQ(readFile(f), expected);   // key keeps its spelling, every other byte stays

    // the same value again does not touch the file, odd spacing included
    const std::string odd = "[x]\r\n  Key =  value  \r\n";
    writeFile(f, odd);
    ASSERT_TRUE(profile::writeString("X", "KEY", "value", f));
    EXPECT_EQ(readFile(f), odd);

    // a line without '=' gets its value; a line end of its own is kept
    writeFile(f, "[x]\nflag\nother=1\n");
    ASSERT_TRUE(profile::writeString("x", "FLAG", "ja", f));
    EXPECT_EQ(readFile(f), "[x]\nflag=ja\nother=1\n");
}

TEST(ProfileWrite, NewKeysAndSectionsGoToTheEnd) {
    TempDir dir;
    const fs::path f = sampleFile(dir);
    ASSERT_TRUE(profile::writeString("team", "Land", "Deutschland", f));
    ASSERT_TRUE(profile::writeString("spieler1", "Nummer", "7", f));
    ASSERT_TRUE(profile::writeString("Spieler2", "Name", "Schmidt", f));
    std::string expected = kSample;
    // after the last non-blank line of the section (a bare line here), before its blank lines
    expected.insert(expected.find("nur ein Wort\r\n") + 14, "Land=Deutschland\r\n");
    expected.insert(expected.find("7000\r\n") + 6, "Nummer=7\r\n");
    expected += "[Spieler2]\r\nName=Schmidt\r\n";   // the file already ends in a blank line
    EXPECT_EQ(readFile(f), expected);

    // a file whose last line has no line end gets one before anything is added
    const std::array<std::string, 4> ends[] = {{"[a]\r\nk=1", "a", "l", "[a]\r\nk=1\r\nl=2\r\n"},
                                               {"[a]", "b", "k", "[a]\r\n[b]\r\nk=2\r\n"},
                                               {"[a]", "a", "k", "[a]\r\nk=2\r\n"}};
    for (const auto& [start, section, key, want] : ends) {
        writeFile(f, start);
        ASSERT_TRUE(profile::writeString(section, key, "2", f));
        EXPECT_EQ(readFile(f), want) << start;
    }
}

TEST(ProfileWrite, RefusesWhatWouldBreakTheFile) {
    TempDir dir;
    const fs::path f = sampleFile(dir);
    const std::array<const char*, 3> bad[] = {{"", "k", "v"},     {"  ", "k", "v"},  {"Team", "", "v"},
                                              {"Team", "a=b", "v"}, {"Team", "[x]", "v"}, {"Team", ";x", "v"},
                                              {"Team", "k", "zwei\r\nZeilen"}, {"Te\nam", "k", "v"}};
    for (auto [section, key, value] : bad) EXPECT_FALSE(profile::writeString(section, key, value, f)) << section << key;
    EXPECT_EQ(readFile(f), kSample);
    // what is allowed comes back as written
    ASSERT_TRUE(profile::writeString("a]b", "k]", "x=y;z", f));
    EXPECT_EQ(profile::getString("A]B", "K]", "", f), "x=y;z");
}

TEST(ProfileWrite, JunkNulBytesAndHugeLinesSurvive) {
    TempDir dir;
    std::string junk("\x00\x01\xFF\xFE garbage\r\r\n", 15);
    junk += std::string("no=section") + '\0' + "here\n";
    junk += std::string(3 * 1024 * 1024, 'x') + "\n";   // a 3 MB line
    junk += "[s]\r\nv=" + std::string(40000, 'y') + "\r\n\x1A";
    junk.insert(2, 1, '\0');
    const fs::path f = sampleFile(dir, junk);
    EXPECT_EQ(profile::getString("s", "v", "", f).size(), 40000u);
    EXPECT_EQ(profile::getString("", "no", "-", f), "-");
    EXPECT_EQ(profile::sectionNames(f), (Lines{"s"}));

    ASSERT_TRUE(profile::writeString("s", "w", "1", f));
    const std::string after = readFile(f);
    // everything up to the insertion point is untouched, the ^Z line moves behind the new key
    ASSERT_GT(after.size(), junk.size());
    const size_t split = junk.size() - 1;
    EXPECT_EQ(after.substr(0, split), junk.substr(0, split));
    EXPECT_EQ(after.substr(split), "w=1\r\n\x1A");

    // nothing but junk and no section at all
    const fs::path g = dir / "roh.bin";
    std::string raw;
    for (int i = 0; i < 5000; ++i) raw += static_cast<char>((i * 7919) % 256);
    writeFile(g, raw);
    EXPECT_EQ(profile::getString("a", "b", "def", g), "def");
    ASSERT_TRUE(profile::writeString("a", "b", "c", g));
    EXPECT_EQ(readFile(g).substr(0, raw.size()), raw);
    EXPECT_EQ(profile::getString("a", "b", "", g), "c");
}

TEST(ProfileWrite, WritesThroughSymlinks) {
    TempDir dir;
    const fs::path target = sampleFile(dir);
    const fs::path link = dir / "link.ini";
    fs::create_symlink(target, link);
    ASSERT_TRUE(profile::writeString("Team", "Name", "Neu", link));
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(profile::getString("team", "name", "", target), "Neu");
}

TEST(ProfileWriter, SameBytesAsWritingKeyByKey) {
    struct Write {
        std::string section, key, value;
    };
    std::vector<Write> writes = {
        {"Team", "Name", "FC Grünwald 09"},          // replaced
        {"team", "STADT", "München"},                // same value, odd spacing kept
        {"Team", "Kapazität", "25000"},              // new key in an existing section
        {"Spieler1", "stärke", "8000"},
        {"Spieler1", "Nummer", "10"},
        {"Neu", "a", "1"},                           // new section
        {"NEU", "b", "2"},
        {"Team", "Land", "Österreich"},
        {"Team", "Name", "FC Grünwald 10"},          // replaced twice
        {"", "x", "refused"},
        {"Team", "a=b", "refused"},
    };
    for (int p = 1; p <= 20; ++p)
        for (const char* key : {"Name", "Vorname", "Land", "Position", "Staerke", "Nummer"})
            writes.push_back({"Spieler" + std::to_string(p), key, std::string(key) + " " + std::to_string(p)});
    writes.push_back({"Spieler3", "Name", "Žák"});

    const std::vector<std::string> starts = {kSample, "", "[a]", "\xEF\xBB\xBF[Team]\nName=x\n",
                                             std::string("junk\x00\xFF no newline", 17)};
    for (size_t i = 0; i < starts.size(); ++i) {
        TempDir dir;
        const fs::path one = dir / "einzeln.aet", many = dir / "writer.aet";
        if (i != 1) {   // start 1: the file does not exist yet
            writeFile(one, starts[i]);
            writeFile(many, starts[i]);
        }
        for (const auto& w : writes) profile::writeString(w.section, w.key, w.value, one);
        {
            profile::Writer writer(many);
            for (const auto& w : writes)
                EXPECT_EQ(writer.writeString(w.section, w.key, w.value), w.value != "refused");
            // destructor flushes
        }
        const std::string expected = readFile(one);
        EXPECT_EQ(readFile(many), expected) << "start " << i;
        EXPECT_EQ(profile::getString("Spieler20", "nummer", "", many), "Nummer 20");
        EXPECT_EQ(profile::getString("team", "name", "", many), "FC Grünwald 10");
        EXPECT_EQ(countFiles(dir.path()), 2u);
    }
}

TEST(ProfileWriter, FlushAndFailures) {
    TempDir dir;
    const fs::path f = dir / "w.ini";
    profile::Writer writer(f);
    EXPECT_TRUE(writer.flush());
    EXPECT_FALSE(fs::exists(f));   // nothing written, nothing created
    ASSERT_TRUE(writer.writeString("a", "k", "1"));
    EXPECT_FALSE(fs::exists(f));   // kept in memory until flush
    ASSERT_TRUE(writer.flush());
    EXPECT_EQ(readFile(f), "[a]\r\nk=1\r\n");
    ASSERT_TRUE(writer.writeString("a", "k", "2"));
    ASSERT_TRUE(writer.flush());
    EXPECT_EQ(readFile(f), "[a]\r\nk=2\r\n");

    fs::create_directory(dir / "ordner.ini");
    profile::Writer blocked(dir / "ordner.ini");
    EXPECT_FALSE(blocked.writeString("a", "k", "1"));
    EXPECT_FALSE(blocked.flush());
    EXPECT_TRUE(fs::is_directory(dir / "ordner.ini"));

    profile::Writer noFolder(dir / "fehlt" / "x.ini");
    EXPECT_TRUE(noFolder.writeString("a", "k", "1"));
    EXPECT_FALSE(noFolder.flush());
}

TEST(ProfileDocument, ReadsWhatItWrites) {
    profile::Document doc = profile::Document::fromBytes(kSample);
    EXPECT_FALSE(doc.modified());
    EXPECT_EQ(doc.getString("team", "farbe1", ""), "255,0,0");
    EXPECT_TRUE(doc.setString("Team", "Farbe1", "0,0,255"));
    EXPECT_TRUE(doc.modified());
    EXPECT_EQ(doc.getString("TEAM", "farbe1", ""), "0,0,255");
    EXPECT_TRUE(doc.setString("Spieler9", "Name", "Ölz"));
    EXPECT_EQ(doc.sectionNames(), (Lines{"Team", "Spieler1", "Spieler9"}));
    EXPECT_EQ(doc.sectionLines("spieler9"), (Lines{"Name=Ölz"}));
    const profile::Document again = profile::Document::fromBytes(doc.toBytes());
    EXPECT_EQ(again.toBytes(), doc.toBytes());
    EXPECT_EQ(again.getString("spieler9", "name", ""), "Ölz");
}
