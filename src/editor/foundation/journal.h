#pragma once
// The undo journal: every command the editor or kickoratool runs through its own logic records
// the rows it changes, in the same database and the same transaction, so that the newest
// command can be taken back and redone, also after a restart.
//
// Tables of the editor's own: editor_journal (one row per command) and, per game table,
// editor_journal_t_<table> (one row per changed row: old and new rowid, old and new values in
// columns of their own, so values keep their type and bulk commands stay fast). Triggers of
// the connection fill them while a Command is open; writes outside a Command are not journaled.
// A command that empties whole tables keeps their rows in a table of their own instead
// (editor_journal_tables names them), and a fingerprint of what it left there.
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace jet {
class Database;
class Transaction;
}  // namespace jet

namespace journal {

// Commands kept; older ones are dropped when a new one is recorded.
inline constexpr int kLimit = 1000;

struct Entry {
    long long entry = 0;
    std::string what;   // "Spieler speichern"
    std::string time;   // DD.MM.YYYY hh:mm:ss, local time
};

// Opens a journal command for the writes that follow until it goes out of scope. Opened
// outside a transaction, it holds one of its own, committed when it goes out of scope
// normally and rolled back when an exception leaves it. A command opened while another is
// open joins it.
// A command that changed nothing leaves no entry; one that changed something discards the
// undone entries (they can no longer be redone) and keeps the newest kLimit commands.
class Command {
public:
    Command(jet::Database& db, std::string_view what);
    ~Command() noexcept(false);
    Command(const Command&) = delete;
    Command& operator=(const Command&) = delete;

    // Empties a game table for a command that rewrites it whole (a config import). Its rows
    // move aside as they are, without a copy, and come back with an undo.
    void emptyTable(const std::string& table);

private:
    void finish() noexcept;

    jet::Database* db_;
    long long entry_ = 0;  // 0 when joined to an outer command
    std::vector<std::string> emptied_;
    std::unique_ptr<jet::Transaction> own_;
    int exceptions_ = 0;
};

// Entries that can be taken back, newest first.
std::vector<Entry> entries(jet::Database& db);
std::optional<Entry> nextUndo(jet::Database& db);
std::optional<Entry> nextRedo(jet::Database& db);

// Takes back the newest entry (redo: applies the oldest undone one again) in one transaction
// and returns it; nothing to do gives nullopt. When a row no longer looks as the entry left
// it (changed outside the editor's commands), jet::Error says so and nothing is changed.
std::optional<Entry> undo(jet::Database& db);
std::optional<Entry> redo(jet::Database& db);

// Empties the journal (with "Datenbank löschen").
void clear(jet::Database& db);

}  // namespace journal
