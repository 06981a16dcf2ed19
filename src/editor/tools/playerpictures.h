#pragma once
// Player pictures without the window: the photos of the picture folder that are still named
// after a player, the players a file name finds, and the rename to the player's number.
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace jet { class Database; }

namespace playerpictures {

// Whether the folder's file list offers a file: a name beginning with a to z, ä, ö or ü and
// ending in ".jpg", letter case ignored as on Windows. Files named by number are not offered.
bool offered(std::string_view fileName);

// A German message when the folder is missing or cannot be written to, else empty.
// With writable = false only its existence is checked.
std::string checkFolder(const std::filesystem::path& folder, bool writable = true);

// The offered files of the folder (plain files only, no links or folders), sorted by name
// without regard to case. An unreadable folder gives an empty list.
std::vector<std::string> pictureFiles(const std::filesystem::path& folder);

// What a file name says: "name_first.jpg" gives the name and the key "f." (the game stores
// first names as initial and point), "name.jpg" the part before the first point.
struct NameKey {
    std::string name;
    std::optional<std::string> vorname;
};
NameKey parseName(std::string_view fileName);

struct Candidate {
    long long number = 0;
    std::string name;
    std::string vorname;
    std::string nation;
    long long staerke = 0;
};

// The players a name key finds; names compare as the database compares text (letter case
// ignored, umlauts included). Throws jet::Error.
std::vector<Candidate> findPlayers(jet::Database& db, const NameKey& key);

// The same for many keys at once, entry i for key i: one pass over the players instead of
// one per key. Throws jet::Error.
std::vector<std::vector<Candidate>> findPlayersOfAll(jet::Database& db, const std::vector<NameKey>& keys);

// The choice list text: name, first name, nation and strength in stars.
std::string choiceText(const Candidate& c);

// The picture file of a player number: an existing one in any letter case, else "<number>.jpg".
std::filesystem::path targetFile(const std::filesystem::path& folder, long long number);

// Renames the picture to the player's picture file; an old picture of that number is
// replaced in the same step, so a failure leaves both files as they were. Returns a German
// message on failure, else empty; the new file name into *newName.
std::string renamePicture(const std::filesystem::path& folder, const std::string& fileName, long long number,
                          std::string* newName = nullptr);

// The whole walk without questions, last file first, as the window does it. Every file that
// finds players is reported: one player renames it (not with dryRun), several leave it alone.
struct Outcome {
    std::string file;
    std::vector<Candidate> players;  // one or more
    std::string newName;             // the target's name (one player)
    std::string error;               // German message when the rename failed
};
std::vector<Outcome> renameAll(jet::Database& db, const std::filesystem::path& folder, bool dryRun,
                               const std::function<void(const Outcome&)>& report = {});

}  // namespace playerpictures
