#pragma once
// The game database's tables, views and stored queries, as the editor expects them.
namespace jet { class Database; }

namespace schema {

// Creates every table, view and stored query of an empty game database (in one transaction).
void createGameSchema(jet::Database& db);

// Creates the views spielerinvereine, maxteamnr and z4spielerzufall and the stored query
// z4deleteid where the database lacks them and their tables exist (after a Jet import).
void ensureGameViews(jet::Database& db);

}  // namespace schema
