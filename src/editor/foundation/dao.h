#pragma once
// The editor's one database connection with its two shared result sets, the two maintenance
// commands, and the start-up conversion of a Jet/Access kickora.mdb.
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

#include "common/jetdb.h"

class Dao {
public:
    Dao() = default;
    Dao(const Dao&) = delete;
    Dao& operator=(const Dao&) = delete;

    // Opens the database file (closing a previous one). Throws jet::Error.
    void open(const std::filesystem::path& path);
    // Releases both result sets and the handle.
    void close();
    bool isOpen() const { return db_.isOpen(); }
    // The path of the last open, kept after close.
    const std::filesystem::path& path() const { return path_; }

    // Opens a result set into slot 0 (first) or 1 (second); it replaces the slot's previous set.
    // On a failing query the slot keeps its previous set. Throws jet::Error.
    jet::Recordset& query(std::string_view sql, int slot = 0);
    // Runs one statement; returns the number of changed rows. Throws jet::Error.
    std::int64_t execute(std::string_view sql);

    jet::Database& db() { return db_; }
    jet::Recordset& rs(int slot);
    bool hasTable(std::string_view name) const { return db_.isOpen() && db_.hasTable(name); }

    // Empties vereine, vereine_national, vereinspieler and spieler, all or nothing.
    // Lookup and exporter tables stay. Throws jet::Error (then nothing was deleted).
    void del_db();

    // Compacts the database: a compacted copy is written beside it, checked, and put in place
    // by an atomic rename; then the database is open again. On failure the original file is
    // untouched and open again, no temporary file is left, and jet::Error says what failed.
    void comp_db();
    // The same with the compacted copy built at tempFile (it is renamed over the database,
    // so it belongs on the same file system); a leftover regular file there is replaced.
    void comp_db(const std::filesystem::path& tempFile);

private:
    jet::Database db_;
    jet::Recordset rs_[2];
    std::filesystem::path path_;
};

// What the start-up found at the database path, and what it did.
struct DatabasePreparation {
    enum class Outcome {
        Ready,      // an SQLite database: open it as it is
        Converted,  // a Jet/Access file was converted; the original lies at `original`
        Missing,    // no file
        Unusable,   // neither SQLite nor a Jet file that could be converted; left untouched
    };
    Outcome outcome = Outcome::Missing;
    std::string message;               // German status text; empty for Ready
    std::filesystem::path original;    // Converted: the kept Jet original (kickora_jet.mdb, ...)
};

// Looks at the file at dbPath before it is opened. A Jet/Access file is converted into the
// editor's format: the original is kept, byte for byte, beside it as <stem>_jet.mdb (or
// <stem>_jet1.mdb, ... when taken) and the conversion takes its name. Whatever fails, the
// original stays available under one of the two names. progress gets (tables done, total).
DatabasePreparation prepareDatabase(const std::filesystem::path& dbPath,
                                    const std::function<void(int, int)>& progress = {});
