#pragma once
// Writing imported clubs and players into the game database: the value conversions from
// exporter values to game values, the file's jersey colours, the club save, the squad save
// over the club's player slots and the free players. Every value goes into the statements
// through jetsql::quote (text) or as a checked number; every save is one transaction, so a
// failure leaves the database as it was (national teams created on the way included).
#include "clubfile.h"
#include "workbench.h"

#include <array>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class RandomSource;
struct ProgressSink;
namespace jet { class Database; }

namespace imp {

// ---- conversions (file value -> game value)

// MAX_STÄRKE of a file player: L = the strength's level lifted to the next even level, room =
// 6 - L up to 3000, 10 - L up to 7000, 12 - L above (strengths between the ranges count with
// the range their even level lies in: 3001..3999 with the middle one, 7001..7999 with the
// top one); d = a random whole number below the room, raised to even; result (L + d) × 1000.
// The strength is pulled into 0..12000 first (see FilePlayer). Draws one random number.
long long strengthCeiling(long long strength, RandomSource& random);
// GROESSE: 175 + a random whole number below 30. Draws one random number.
int randomHeight(RandomSource& random);
// REST_EINSÄTZE: the file's value + a random whole number below 5. Draws one random number.
long long remainingGames(long long fileValue, RandomSource& random);
// GESICHT: nose, mouth and eyes drawn within the skin's ranges (white 31, 30, 30; dark 9, 9,
// 2), the hair number as the hair part, the chin drawn below 11 for a white face; a dark face
// carries the skin bit in place of the chin, as the face code defines it. Skin other than 1
// counts as white. Draws three (dark) or four (white) random numbers.
std::int64_t faceNumber(int skin, int hair, RandomSource& random);
// HAUTFARBE and HAARFARBE: the first row of e_gesichtsfarbe for hair and skin; without such a
// row the skin itself and hair colour 0.
struct FaceColours {
    int haut = 0, haar = 0;
};
FaceColours faceColours(jet::Database& db, int skin, int hair);

// The game values of one file player in the order they are drawn (ceiling, height, remaining
// games, face), so the same seed gives the same rows.
struct GamePlayer {
    std::string name, vorname;  // vorname: the initial + "."
    long long strength = 0, maxStrength = 0;
    std::string nation;         // landneu of the file's country
    int height = 0, position = 0;
    long long remainingGames = 0, shirtNumber = 0;
    std::int64_t face = 0;
    FaceColours colours;
};
// Calls landneu (which may add a national team): run it inside the caller's transaction.
// `nations` remembers landneu's answers within one save (the same country gives the same name).
GamePlayer gamePlayer(jet::Database& db, const FilePlayer& p, RandomSource& random,
                      std::map<std::string, std::string>* nations = nullptr);

// ---- club save

// Writes the file's jersey colours into row `number` of `table` ("vereine" or
// "vereine_national"): home keys into shirt main, second and alternative shirt colour, away
// keys into the away shorts, alternative shorts and advertising colour; shorts and stripes
// black. Missing or unreadable colours are written black.
void settrikotfarbe(jet::Database& db, long long number, const std::string& table, const ClubFile& file);

struct ClubSave {
    long long club = 0;                          // txttnr
    std::array<bool, 3> boxes{};                 // chkimport 0, 1, 2
    ClubFields fields;
    std::array<std::optional<int>, 3> jerseyTypes;  // pictures 0 home, 1 away, 2 goalkeeper;
                                                    // nullopt keeps the stored type
    int satz = 0;                                // active jersey set, for the model colours
};
// btnteamsave: box 0 name, city, nation (landneu of the country text); box 1 stadium name,
// seats and standing places (whole numbers 0..2147483647, else Error naming the field and
// nothing written); box 2 the model colours of the stored types, then the file's colours;
// last the chosen jersey types. One transaction. Throws Error (German) or jet::Error.
void saveClub(jet::Database& db, const ClubSave& save, const ClubFile& file);

// ---- squad save

inline constexpr const char* kSquadSaveStatus = "Speichere Spieler...";

// The club's player slots: its player numbers from vereinspieler, lowest first.
std::vector<long long> playerSlots(jet::Database& db, long long club);

// btnspielersave: squad row i overwrites slot i (lowest player number first). A club player
// is copied with all columns from NAME to GESPERRT (nation through landneu), a file player
// gets the converted values (LIEBLINGSPOS_X and _Y keep the slot's values). Every source is
// read before any slot is written. A club with fewer slots than squad rows stops before any
// statement with an Error. One transaction. Returns the slots written, in squad order.
std::vector<long long> saveSquad(jet::Database& db, long long club, const std::vector<SquadMember>& squad,
                                 const ClubFile& file, RandomSource& random, ProgressSink& progress);

// ---- free players

inline constexpr const char* kFreePlayersStatus = "Speichere Freie Spieler...";
// Status text after storing all players of a file: count + " Spieler in Freie Spieler importiert!"
std::string freePlayersDone(int count);

// savez4spieler: adds file player `index` to z4spieler (name, first name and country as
// written, the club name of the file, position, strength, remaining games, shirt number, face
// number and colours), then runs the stored query z4deleteid. Throws Error for an index
// outside the file's players.
void savez4spieler(jet::Database& db, const ClubFile& file, int index, RandomSource& random);
// Menu item 8 and the free-player import: the given file players in one transaction.
// Returns how many rows were added. Throws Error or jet::Error (then nothing is stored).
int saveFreePlayers(jet::Database& db, const ClubFile& file, const std::vector<int>& indices, RandomSource& random,
                    ProgressSink& progress);

}  // namespace imp
