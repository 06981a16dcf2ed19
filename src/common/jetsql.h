#pragma once
// Translation of the Jet SQL dialect into SQLite's. A real tokenizer: string literals,
// bracketed names and comments are never touched by the rewriting of the code around them.
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace jetsql {

// Raised when a statement uses Jet syntax that has no SQLite counterpart here.
// what() is a German message naming the construct.
struct TranslateError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// Jet text -> SQLite text. Covers:
//  - "text" literals -> 'text' (inner ' doubled, "" -> "), [name] -> "name"
//  - & concatenation (Null counts as empty, as in Jet), True/False -> -1/0
//  - DELETE * FROM, DISTINCTROW, TOP n, #date# literals
//  - UPDATE a INNER JOIN b ON c SET ... WHERE ... -> UPDATE a SET ... FROM b WHERE c AND (...)
//  - functions Right, Left, Left$, Mid, Mid$, Len, UCase, LCase, Trim, IIf, Nz, Val, ... (those
//    without a SQLite twin are jet_* SQL functions; jet::installSqlFunctions (jetfunctions.h), called here, puts
//    them on every connection the process opens)
std::string translate(std::string_view jet);

// What the translation may ask the database. Jet resolves names the way SQLite cannot:
// unqualified SET targets of a joined UPDATE belong to whichever table has the column, and
// names compare without regard to case, umlauts included (stärke = STÄRKE).
class Schema {
public:
    virtual ~Schema() = default;
    // Columns of a table or view as the database spells them; empty when unknown.
    virtual std::vector<std::string> columns(std::string_view table) const = 0;
    // The database's spelling of a table, view or column name equal to `name` without regard
    // to case; empty when there is none.
    virtual std::string spelling(std::string_view name) const = 0;
};

// As above, resolving names against `schema` (may be null).
std::string translate(std::string_view jet, const Schema* schema);

// Quoting helper for values put into Jet SQL text: encloses in the quote character and
// doubles every occurrence of it inside, so any text is stored as typed.
std::string quote(std::string_view text, char quoteChar = '"');

}  // namespace jetsql
