#pragma once
// Prepared statements for the bulk work of the config files: one statement prepared once,
// run per row with bound values, read column by column. Only for fixed statement texts that
// need nothing of the Jet dialect (the translation has no parameters); every value is bound,
// never pasted into the text.
#include <cstdint>
#include <string>
#include <string_view>

struct sqlite3;
struct sqlite3_stmt;
namespace jet { class Database; }

namespace cfg {

class Statement {
public:
    // Throws Error with the engine's message.
    Statement(jet::Database& db, const std::string& sql);
    ~Statement();
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    // Parameters count from 1. Bound text must live until run() returns.
    void bindNull(int i);
    void bindInt(int i, std::int64_t v);
    void bindReal(int i, double v);
    void bindText(int i, std::string_view v);
    // Runs a statement without result rows with the bound values and clears them;
    // returns the engine's message on failure, empty on success.
    std::string run();

    // Result rows: step() until it returns false; throws Error on a failure.
    bool step();
    enum class Type { Null, Int, Real, Text, Blob };
    Type type(int column) const;  // columns count from 0
    std::int64_t intValue(int column) const;
    double realValue(int column) const;
    std::string_view textValue(int column) const;  // text and blobs as bytes

private:
    sqlite3* db_;
    sqlite3_stmt* st_ = nullptr;
};

// A name as an SQL identifier in double quotes.
std::string sqlIdentifier(std::string_view name);

}  // namespace cfg
