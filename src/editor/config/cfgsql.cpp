#include "cfgsql.h"

#include "cfgformat.h"

#include "common/jetdb.h"

#include <sqlite3.h>

namespace cfg {

Statement::Statement(jet::Database& db, const std::string& sql) : db_(db.handle())
{
    if (!db_)
        throw Error("Die Datenbank ist nicht geöffnet.");
    if (sqlite3_prepare_v2(db_, sql.c_str(), static_cast<int>(sql.size()), &st_, nullptr) != SQLITE_OK)
        throw Error(std::string("Datenbankfehler: ") + sqlite3_errmsg(db_) + " in: " + sql);
}

Statement::~Statement()
{
    sqlite3_finalize(st_);
}

void Statement::bindNull(int i)
{
    sqlite3_bind_null(st_, i);
}

void Statement::bindInt(int i, std::int64_t v)
{
    sqlite3_bind_int64(st_, i, v);
}

void Statement::bindReal(int i, double v)
{
    sqlite3_bind_double(st_, i, v);
}

void Statement::bindText(int i, std::string_view v)
{
    sqlite3_bind_text(st_, i, v.data(), static_cast<int>(v.size()), SQLITE_STATIC);
}

std::string Statement::run()
{
    const int rc = sqlite3_step(st_);
    std::string err = rc == SQLITE_DONE || rc == SQLITE_ROW ? std::string() : std::string(sqlite3_errmsg(db_));
    sqlite3_reset(st_);
    sqlite3_clear_bindings(st_);
    return err;
}

bool Statement::step()
{
    const int rc = sqlite3_step(st_);
    if (rc == SQLITE_ROW)
        return true;
    const std::string err = rc == SQLITE_DONE ? std::string() : std::string(sqlite3_errmsg(db_));
    sqlite3_reset(st_);
    if (!err.empty())
        throw Error("Datenbankfehler: " + err);
    return false;
}

Statement::Type Statement::type(int column) const
{
    switch (sqlite3_column_type(st_, column)) {
    case SQLITE_INTEGER: return Type::Int;
    case SQLITE_FLOAT: return Type::Real;
    case SQLITE_TEXT: return Type::Text;
    case SQLITE_BLOB: return Type::Blob;
    default: return Type::Null;
    }
}

std::int64_t Statement::intValue(int column) const
{
    return sqlite3_column_int64(st_, column);
}

double Statement::realValue(int column) const
{
    return sqlite3_column_double(st_, column);
}

std::string_view Statement::textValue(int column) const
{
    const auto* p = static_cast<const char*>(sqlite3_column_blob(st_, column));
    const int n = sqlite3_column_bytes(st_, column);
    return p ? std::string_view(p, static_cast<std::size_t>(n)) : std::string_view();
}

std::string sqlIdentifier(std::string_view name)
{
    std::string out = "\"";
    for (char c : name) {
        if (c == '"')
            out += '"';
        out += c;
    }
    return out + "\"";
}

}  // namespace cfg
