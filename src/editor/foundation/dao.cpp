#include "foundation/dao.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sqlite3.h>
#include <system_error>
#include <unistd.h>

#include "common/jetimport.h"
#include "foundation/journal.h"
#include "foundation/schema.h"

namespace fs = std::filesystem;

namespace {

// Removes a leftover of an interrupted run at our own temporary name. Anything other than
// a regular file there is not ours to delete.
void clearTempName(const fs::path& temp) {
    std::error_code ec;
    auto st = fs::symlink_status(temp, ec);
    if (!fs::exists(st)) return;
    if (!fs::is_regular_file(st))
        throw jet::Error("Die temporäre Datei " + temp.string() + " kann nicht angelegt werden: "
                         "der Name ist schon vergeben.");
    if (!fs::remove(temp, ec))
        throw jet::Error("Die alte temporäre Datei " + temp.string() + " kann nicht gelöscht werden: " +
                         ec.message());
}

void removeQuietly(const fs::path& p) {
    std::error_code ec;
    if (fs::is_regular_file(fs::symlink_status(p, ec))) fs::remove(p, ec);
}

// Flushes a file (or folder) to disk so that a rename never exposes half-written data.
void syncPath(const fs::path& p, bool directory) {
    int fd = ::open(p.c_str(), (directory ? O_RDONLY | O_DIRECTORY : O_RDONLY) | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

// Moves src to dst unless dst exists. errc::file_exists when it does.
bool moveNoReplace(const fs::path& src, const fs::path& dst, std::error_code& ec) {
    ec.clear();
#ifdef RENAME_NOREPLACE
    if (::renameat2(AT_FDCWD, src.c_str(), AT_FDCWD, dst.c_str(), RENAME_NOREPLACE) == 0) return true;
    if (errno != EINVAL && errno != ENOSYS) {
        ec.assign(errno, std::generic_category());
        return false;
    }
#endif
    // File systems without RENAME_NOREPLACE: a hard link fails on an existing name as well.
    if (::link(src.c_str(), dst.c_str()) == 0) {
        ::unlink(src.c_str());
        return true;
    }
    if (errno == EEXIST) {
        ec.assign(errno, std::generic_category());
        return false;
    }
    if (fs::exists(fs::symlink_status(dst, ec))) {
        ec = std::make_error_code(std::errc::file_exists);
        return false;
    }
    fs::rename(src, dst, ec);
    return !ec;
}

std::string quickCheck(const fs::path& file) {
    jet::Database check = jet::Database::open(file, false, true);
    sqlite3_stmt* st = nullptr;
    std::string result;
    if (sqlite3_prepare_v2(check.handle(), "PRAGMA quick_check", -1, &st, nullptr) != SQLITE_OK) {
        result = sqlite3_errmsg(check.handle());
    } else {
        while (sqlite3_step(st) == SQLITE_ROW) {
            const unsigned char* t = sqlite3_column_text(st, 0);
            if (!result.empty()) result += "; ";
            result += t ? reinterpret_cast<const char*>(t) : "";
        }
    }
    sqlite3_finalize(st);
    return result;
}

std::string sqlQuoted(const std::string& text) {
    std::string out = "'";
    for (char c : text) {
        if (c == '\'') out += '\'';
        out += c;
    }
    return out + "'";
}

}  // namespace

// ---------------------------------------------------------------- Dao

void Dao::open(const fs::path& path) {
    close();
    path_ = path;
    db_ = jet::Database::open(path);
}

void Dao::close() {
    rs_[0] = jet::Recordset();
    rs_[1] = jet::Recordset();
    db_.close();
}

jet::Recordset& Dao::rs(int slot) {
    if (slot != 0 && slot != 1) throw jet::Error("Die Ergebnismenge " + std::to_string(slot) + " gibt es nicht.");
    return rs_[slot];
}

jet::Recordset& Dao::query(std::string_view sql, int slot) {
    jet::Recordset& target = rs(slot);
    if (!db_.isOpen()) throw jet::Error("Die Datenbank ist nicht geöffnet.");
    jet::Recordset fresh = db_.query(sql);
    target = std::move(fresh);
    return target;
}

std::int64_t Dao::execute(std::string_view sql) {
    if (!db_.isOpen()) throw jet::Error("Die Datenbank ist nicht geöffnet.");
    return db_.execute(sql);
}

void Dao::del_db() {
    if (!db_.isOpen()) throw jet::Error("Die Datenbank ist nicht geöffnet.");
    jet::Transaction tx(db_);
    for (const char* sql : {"Delete From vereine", "Delete From vereine_national", "Delete From vereinspieler",
                            "Delete From spieler"})
        db_.execute(sql);
    journal::clear(db_);
    tx.commit();
}

void Dao::comp_db() {
    comp_db(path_.parent_path() / (path_.filename().string() + ".compact"));
}

void Dao::comp_db(const fs::path& tempFile) {
    if (!db_.isOpen()) throw jet::Error("Die Datenbank ist nicht geöffnet.");
    const fs::path dbPath = path_;
    const std::string failed = "Die Datenbank konnte nicht komprimiert werden: ";

    // Open statements would keep VACUUM from running.
    rs_[0] = jet::Recordset();
    rs_[1] = jet::Recordset();

    try {
        clearTempName(tempFile);
    } catch (const jet::Error& e) {
        throw jet::Error(failed + e.what());
    }

    try {
        db_.executeNative("VACUUM INTO " + sqlQuoted(tempFile.string()));
        const std::string check = quickCheck(tempFile);
        if (check != "ok") throw jet::Error("Prüfung der komprimierten Datei: " + check);
        syncPath(tempFile, false);
    } catch (const std::exception& e) {
        removeQuietly(tempFile);
        throw jet::Error(failed + e.what());
    }

    db_.close();
    std::error_code ec;
    fs::rename(tempFile, dbPath, ec);
    if (ec) {
        removeQuietly(tempFile);
        std::string reason = ec.message();
        try {
            db_ = jet::Database::open(dbPath);
        } catch (const jet::Error& e) {
            reason += "; " + std::string(e.what());
        }
        throw jet::Error(failed + reason);
    }
    syncPath(dbPath.parent_path().empty() ? fs::path(".") : dbPath.parent_path(), true);
    db_ = jet::Database::open(dbPath);
}

// ---------------------------------------------------------------- start-up conversion

DatabasePreparation prepareDatabase(const fs::path& dbPath, const std::function<void(int, int)>& progress) {
    DatabasePreparation r;
    const std::string name = dbPath.filename().string();
    switch (jetimport::detect(dbPath)) {
    case jetimport::FileKind::Sqlite:
        r.outcome = DatabasePreparation::Outcome::Ready;
        return r;
    case jetimport::FileKind::Missing:
        r.outcome = DatabasePreparation::Outcome::Missing;
        r.message = "Die Datenbank " + dbPath.string() + " wurde nicht gefunden.";
        return r;
    case jetimport::FileKind::Other:
        r.outcome = DatabasePreparation::Outcome::Unusable;
        r.message = "Die Datei " + name + " ist weder eine SQLite- noch eine Access-Datenbank; sie bleibt unverändert.";
        return r;
    case jetimport::FileKind::Jet:
        break;
    }

    r.outcome = DatabasePreparation::Outcome::Unusable;
    const std::string notConverted = "Die Access-Datenbank " + name + " konnte nicht umgewandelt werden (";
    const std::string untouched = "); sie bleibt unverändert.";
    const fs::path dir = dbPath.parent_path();
    const fs::path temp = dir / (name + ".import");

    // 1. Convert into a temporary file; the original is only read.
    try {
        clearTempName(temp);
        jetimport::importFile(dbPath, temp, progress);
        jet::Database db = jet::Database::open(temp);
        schema::ensureGameViews(db);
        db.close();
        syncPath(temp, false);
    } catch (const std::exception& e) {
        if (fs::exists(temp)) removeQuietly(temp);
        r.message = notConverted + e.what() + untouched;
        return r;
    }

    // 2. Move the original to a free name beside it; never over an existing file.
    const std::string stem = dbPath.stem().string();
    const std::string ext = dbPath.extension().string();
    fs::path kept;
    std::error_code ec;
    for (int n = 0; n < 1000; ++n) {
        kept = dir / (stem + "_jet" + (n ? std::to_string(n) : std::string()) + ext);
        if (moveNoReplace(dbPath, kept, ec)) break;
        if (ec != std::errc::file_exists) break;
    }
    if (ec) {
        removeQuietly(temp);
        r.message = notConverted + "das Original lässt sich nicht umbenennen: " + ec.message() + untouched;
        return r;
    }

    // 3. Put the conversion in its place.
    if (!moveNoReplace(temp, dbPath, ec)) {
        removeQuietly(temp);
        std::error_code back;
        if (moveNoReplace(kept, dbPath, back)) {
            r.message = notConverted + ec.message() + untouched;
        } else {
            r.message = "Die umgewandelte Datenbank konnte nicht als " + name + " abgelegt werden (" + ec.message() +
                        "); das Original liegt als " + kept.filename().string() + " daneben.";
            r.original = kept;
        }
        return r;
    }
    syncPath(dir.empty() ? fs::path(".") : dir, true);

    r.outcome = DatabasePreparation::Outcome::Converted;
    r.original = kept;
    r.message = "Access-Datenbank umgewandelt; das Original liegt als " + kept.filename().string() + " daneben.";
    return r;
}
