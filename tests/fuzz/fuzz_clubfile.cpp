// Exporter club files (.aet) as the import reads them: every value the reader hands on must
// lie in the range it promises, whatever the file holds.
#include "editor/import/clubfile.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    imp::ImportFile in{"fuzz.aet", profile::Document::fromBytes(std::string_view(reinterpret_cast<const char*>(data), size))};
    const imp::ClubFile club = imp::readClubFile(in);
    for (const imp::FilePlayer& p : club.players) {
        if (p.position < 0 || p.position >= imp::kPositions || p.strength < 0 || p.strength > imp::kMaxStrength ||
            p.remainingGames < 0 || p.remainingGames > 30000 || p.shirtNumber < 0 || p.shirtNumber > 32767 ||
            (p.skin != 0 && p.skin != 1) || p.hair < 0 || p.hair > imp::kMaxHair)
            __builtin_trap();
        (void)p.listText();
        (void)p.strengthText();
    }
    for (int i = 0; i < 3; ++i) {
        (void)club.homeColour(i);
        (void)club.awayColour(i);
    }
    (void)club.liveColours(0);
    (void)club.liveColours(1);
    return 0;
}
