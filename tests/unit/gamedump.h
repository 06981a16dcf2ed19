#pragma once
// Every game table's rows as one text, values with their storage class: two dumps are equal
// exactly when the game tables hold the same rows with the same rowids. The editor's journal
// tables are left out.
#include <string>

#include "common/jetdb.h"

namespace testsupport {

inline std::string dumpGameTables(jet::Database& db) {
    std::string out;
    for (const std::string& table : db.tableNames()) {
        if (table.rfind("editor_journal", 0) == 0) continue;
        out += "[" + table + "]\n";
        for (jet::Recordset rs = db.query("SELECT rowid AS journal_rowid, * FROM [" + table + "] ORDER BY rowid");
             !rs.eof(); rs.moveNext()) {
            for (int i = 0; i < rs.fieldCount(); ++i) {
                const jet::Value& v = rs.field(i);
                out += v.isNull() ? "N" : v.isInt() ? "I" : v.isReal() ? "R" : v.isText() ? "T" : "B";
                out += v.toString() + "|";
            }
            out += "\n";
        }
    }
    return out;
}

}  // namespace testsupport
