#pragma once
// The config import on one in-memory game database: every run replaces the tables it
// imports, or rolls back and leaves them as they were.
#include "common/jetdb.h"
#include "common/progress.h"
#include "editor/config/cfgimport.h"
#include "editor/foundation/schema.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace fuzzcfg {

inline jet::Database& database()
{
    static jet::Database db = [] {
        jet::Database d = jet::Database::openMemory();
        schema::createGameSchema(d);
        return d;
    }();
    return db;
}

inline void run(const std::uint8_t* data, std::size_t size, cfg::ConfigFile which)
{
    NullProgress none;
    std::string bytes(reinterpret_cast<const char*>(data), size);
    try {
        if (which == cfg::ConfigFile::Clubs)
            cfg::importClubBytes(database(), std::move(bytes), "1_tm.cfg", none);
        else
            cfg::importPlayerBytes(database(), std::move(bytes), "1_sp.cfg", none);
    } catch (const cfg::Error&) {
    }
}

}  // namespace fuzzcfg
