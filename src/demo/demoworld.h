#pragma once
// The demo world: a fictional but complete kickoraeditor program folder.
#include <cstdint>
#include <filesystem>

struct ProgressSink;

namespace demo {

struct Options {
    int scale = 1;            // scale 1: about forty countries, 400 clubs, 8000 players
    std::uint64_t seed = 1;   // same seed, same world
};

// Writes kickora.mdb (must not exist yet) with the whole schema and the world's rows.
void writeDatabase(const std::filesystem::path& dbFile, const Options& options, ProgressSink* progress = nullptr);

// Writes a complete program folder: the database and the picture and game folders.
void writeProgramFolder(const std::filesystem::path& dir, const Options& options, ProgressSink* progress = nullptr);

}  // namespace demo
