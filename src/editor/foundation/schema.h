#pragma once
// The game database's tables, views and stored queries, as the editor expects them.
namespace jet { class Database; }

namespace schema {

// The twelve continents in the order of the club editor's continent list.
inline constexpr int kContinentCount = 12;
inline constexpr const char* kContinents[kContinentCount] = {
    "Asien",      "Atlantis",  "Mittel-Amerika", "Naher-Osten", "Nord-Afrika", "Nord-Amerika",
    "Ost-Europa", "Ozeanien",  "Süd-Afrika",     "Süd-Amerika", "Süd-Europa",  "West-Europa"};

// Creates every table, view and stored query of an empty game database (in one transaction).
void createGameSchema(jet::Database& db);

// The two halves of createGameSchema for bulk loaders: tables, views and stored queries
// without the secondary indexes, and the indexes alone (fast after the rows are in).
void createGameTables(jet::Database& db);
void createGameIndexes(jet::Database& db);

// Creates the views spielerinvereine, maxteamnr and z4spielerzufall and the stored query
// z4deleteid where the database lacks them and their tables exist (after a Jet import).
void ensureGameViews(jet::Database& db);

}  // namespace schema
