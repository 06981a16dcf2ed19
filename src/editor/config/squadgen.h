#pragma once
// Placeholder squads: numbered players without strength, filled in later by the user or an import.
#include <string_view>

struct ProgressSink;
namespace jet { class Database; }

namespace squadgen {

inline constexpr int kSquadSize = 20;

// Position (ART) of squad slot i, repeating every 20 slots: two goalkeepers, six defenders,
// seven midfielders, five strikers.
int slotPosition(long long slot);
// Shirt number of squad slot i: 1 to 20, repeating.
int slotShirtNumber(long long slot);

// Inserts `count` placeholder players of `nation` into club `club`: numbers follow the highest
// player number (1 for an empty table), each with its vereinspieler row. Runs in one transaction
// (nested in the caller's, when there is one), so a failure leaves no half squad behind.
// Returns the first new player number. Throws jet::Error.
long long generate(jet::Database& db, long long club, std::string_view nation, int count,
                   ProgressSink* progress = nullptr);

}  // namespace squadgen
