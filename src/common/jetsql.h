#pragma once
// Translation of the Jet SQL dialect into SQLite's. A real tokenizer: string literals,
// bracketed names and comments are never touched by the rewriting of the code around them.
#include <stdexcept>
#include <string>
#include <string_view>

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
//    without a SQLite twin are provided by jetdb as SQL functions)
std::string translate(std::string_view jet);

// Quoting helper for values put into Jet SQL text: encloses in the quote character and
// doubles every occurrence of it inside, so any text is stored as typed.
std::string quote(std::string_view text, char quoteChar = '"');

}  // namespace jetsql
