#pragma once
// A fictional Zentor 4 source database for zexporter, in SQLite with Jet-like column types:
// countries on six continents with national teams, leagues, clubs with first and amateur
// teams, stadiums, players. Scale and seed as for the demo world.
#include "demoworld.h"

#include <filesystem>

struct ProgressSink;

namespace demo {

// The CREATE TABLE statements of the source tables (SQLite dialect), for tests that build
// a source row by row.
const char* zentorSchema();

// Writes the database into file, which must not exist yet.
void writeZentorDatabase(const std::filesystem::path& file, const Options& options, ProgressSink* progress = nullptr);

}  // namespace demo
