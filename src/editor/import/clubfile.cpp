#include "import/clubfile.h"

#include "common/paths.h"
#include "common/profile.h"
#include "mainwindow/playerlist.h"

#include <algorithm>
#include <cctype>
#include <system_error>

namespace fs = std::filesystem;

namespace imp {

namespace {

constexpr long long kNumberLimit = 1000000000000000LL;  // 10^15
constexpr long long kMaxRemainingGames = 30000;         // + 4 of the save stays a SMALLINT
constexpr long long kMaxShirtNumber = 32767;
// A count far beyond any squad, so a damaged "Spieler" key cannot make us walk forever.
constexpr int kMaxPlayerSections = 100000;

bool isBlank(char c) { return c == ' ' || c == '\t'; }

std::optional<std::string> key(const profile::Document& doc, std::string_view section, std::string_view name)
{
    // A value can never contain a line break, so this marks "missing" without ambiguity.
    static const std::string kMissing = "\n";
    std::string v = doc.getString(section, name, kMissing);
    if (v == kMissing)
        return std::nullopt;
    return v;
}

std::string colourOrDefault(const std::optional<std::string>& text, const jerseys::Rgb& def)
{
    const auto c = text ? jerseys::parseColour(*text) : std::nullopt;
    return jerseys::colourText(c.value_or(def));
}

}  // namespace

std::string strengthText(long long strength) { return playerlist::starsText(strength).toStdString(); }

std::optional<long long> parseNumber(std::string_view text)
{
    std::size_t i = 0;
    while (i < text.size() && isBlank(text[i]))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+'))
        negative = text[i++] == '-';
    const std::size_t digitsFrom = i;
    long long value = 0;
    for (; i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])); ++i) {
        value = value * 10 + (text[i] - '0');
        if (value > kNumberLimit)
            return std::nullopt;
    }
    if (i == digitsFrom)
        return std::nullopt;
    if (i < text.size() && (text[i] == '.' || text[i] == ',')) {
        ++i;
        const std::size_t fracFrom = i;
        while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])))
            ++i;
        const std::string_view frac = text.substr(fracFrom, i - fracFrom);
        if (!frac.empty()) {
            const bool restNonZero = frac.find_first_not_of('0', 1) != std::string_view::npos;
            if (frac[0] > '5' || (frac[0] == '5' && (restNonZero || value % 2 == 1)))
                ++value;
        }
    }
    while (i < text.size() && isBlank(text[i]))
        ++i;
    if (i != text.size())
        return std::nullopt;
    return negative ? -value : value;
}

long long numberIn(std::string_view text, long long def, long long lo, long long hi)
{
    const auto n = parseNumber(text);
    if (!n)
        return def;
    return std::clamp(*n, lo, hi);
}

std::string FilePlayer::initial() const
{
    if (vorname.empty())
        return " ";
    // One character, not one byte: a UTF-8 sequence stays whole.
    std::size_t len = 1;
    while (len < vorname.size() && (static_cast<unsigned char>(vorname[len]) & 0xC0) == 0x80)
        ++len;
    return vorname.substr(0, len);
}

std::string FilePlayer::listText() const { return initial() + ". " + name; }

jerseys::Colours ClubFile::liveColours(int which) const
{
    const auto& texts = which == 0 ? homeText : awayText;
    jerseys::Colours c{};
    for (int i = 0; i < 3; ++i) {
        const auto parsed = texts[i] ? jerseys::parseColour(*texts[i]) : std::nullopt;
        c[i] = parsed.value_or(jerseys::Rgb{255, 255, 255});
    }
    c[3] = jerseys::Rgb{0, 0, 0};
    return c;
}

std::string ClubFile::homeColour(int i) const { return colourOrDefault(homeText.at(i), {0, 0, 0}); }
std::string ClubFile::awayColour(int i) const { return colourOrDefault(awayText.at(i), {0, 0, 0}); }

std::string fileTitle(const fs::path& file)
{
    std::string name = file.filename().string();
    return name.size() > 4 ? name.substr(0, name.size() - 4) : std::string();
}

ImportFile openImportFile(const fs::path& requested)
{
    const fs::path file = paths::findFile(requested);
    std::error_code ec;
    if (!fs::is_regular_file(file, ec))
        throw Error("Die Datei " + requested.string() + " wurde nicht gefunden.");
    std::optional<profile::Document> doc = profile::Document::tryLoad(file);
    if (!doc)
        throw Error("Die Datei " + requested.string() + " kann nicht gelesen werden.");
    return {file, std::move(*doc)};
}

PlayerSections playerSections(const profile::Document& doc, int limit)
{
    PlayerSections found;
    for (const std::string& s : doc.sectionNames()) {
        if (s.size() <= 7)
            continue;
        std::string head = s.substr(0, 7);
        std::transform(head.begin(), head.end(), head.begin(), [](unsigned char c) { return std::tolower(c); });
        const std::string digits = s.substr(7);
        const auto k = head == "spieler" ? parseNumber(digits) : std::nullopt;
        if (k && *k >= 1 && *k <= limit && std::to_string(*k) == digits) {
            ++found.count;
            found.highest = std::max(found.highest, static_cast<int>(*k));
        }
    }
    return found;
}

ClubFile loadClubFile(const fs::path& requested)
{
    return readClubFile(openImportFile(requested));
}

ClubFile readClubFile(const ImportFile& in)
{
    const profile::Document* doc = &in.doc;

    ClubFile club;
    club.path = in.path;
    club.title = fileTitle(in.path);
    club.name = key(*doc, "Team", "Name");
    club.stadt = key(*doc, "Team", "Stadt");
    club.land = key(*doc, "Team", "Land");
    club.stadion = key(*doc, "Team", "Stadion");
    club.stadionsitz = key(*doc, "Team", "Stadionsitz");
    club.stadionsteh = key(*doc, "Team", "Stadionsteh");
    for (int i = 0; i < 3; ++i) {
        club.homeText[i] = key(*doc, "Team", "Trikoth" + std::to_string(i));
        club.awayText[i] = key(*doc, "Team", "Trikota" + std::to_string(i));
    }

    // The highest player section the file holds bounds the count.
    const int highest = playerSections(*doc, kMaxPlayerSections).highest;
    const std::string countText = doc->getString("Team", "Spieler", "0");
    const auto stated = parseNumber(countText);
    long long count = stated.value_or(0);
    if (!stated && !countText.empty())
        club.warnings.push_back("Die Spielerzahl \"" + countText + "\" ist keine Zahl; es werden keine Spieler gelesen.");
    if (count < 0)
        count = 0;
    if (count > highest) {
        club.warnings.push_back("Die Datei nennt " + std::to_string(count) + " Spieler, enthält aber nur " +
                                std::to_string(highest) + " Spielerabschnitte.");
        count = highest;
    }

    club.players.reserve(static_cast<std::size_t>(count));
    for (int n = 0; n < count; ++n) {
        const std::string section = "Spieler" + std::to_string(n + 1);
        FilePlayer p;
        p.index = n;
        p.present = !doc->sectionLines(section).empty();
        p.name = doc->getString(section, "Name", "");
        p.vorname = doc->getString(section, "Vorname", "");
        p.land = doc->getString(section, "Land", "");
        const long long pos = numberIn(doc->getString(section, "Position", ""), kAttack, -1, kPositions);
        p.position = pos >= 0 && pos < kPositions ? static_cast<int>(pos) : kAttack;
        p.strength = numberIn(doc->getString(section, "Staerke", ""), 0, 0, kMaxStrength);
        p.remainingGames = numberIn(doc->getString(section, "Restspiele", ""), 0, 0, kMaxRemainingGames);
        p.shirtNumber = numberIn(doc->getString(section, "Rueckennummer", ""), 0, 0, kMaxShirtNumber);
        p.skin = numberIn(doc->getString(section, "Hautfarbe", ""), 0, 0, 2) == 1 ? 1 : 0;
        const long long hair = numberIn(doc->getString(section, "Haarfarbe", ""), 0, -1, kMaxHair + 1);
        p.hair = hair >= 0 && hair <= kMaxHair ? static_cast<int>(hair) : 0;
        club.players.push_back(std::move(p));
    }
    return club;
}

}  // namespace imp
