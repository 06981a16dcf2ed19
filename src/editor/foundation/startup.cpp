#include "foundation/startup.h"

#include "common/paths.h"
#include "foundation/registry.h"

namespace fs = std::filesystem;

namespace {

// Installed files may be read-only for everybody; the user's copies must be writable.
void makeOwnersOwn(const fs::path& p) {
    fs::permissions(p, fs::perms::owner_read | fs::perms::owner_write |
                           (fs::is_directory(p) ? fs::perms::owner_exec : fs::perms::none),
                    fs::perm_options::add);
}

}  // namespace

ProgramFolderChoice chooseProgramFolder(const fs::path& exeDir, const fs::path& userDataDir) {
    ProgramFolderChoice r;
    r.dir = paths::programDir(exeDir, userDataDir);
    if (r.dir != exeDir) r.error = fillFromDemo(r.dir, paths::installedDataDir(exeDir) / "demo");
    return r;
}

std::string fillFromDemo(const fs::path& dir, const fs::path& demoDir) {
    try {
        fs::create_directories(dir);
        Settings probe;
        probe.programDir = dir;
        if (fs::exists(dir / "kickoraeditor.ini") || fs::exists(probe.databasePath())) return {};
        if (!fs::is_directory(demoDir)) return {};  // start-up then reports the missing database

        const fs::path demoDb = demoDir / probe.databasePath().filename();
        for (const fs::directory_entry& e : fs::recursive_directory_iterator(demoDir)) {
            if (e.path() == demoDb) continue;
            const fs::path target = dir / fs::relative(e.path(), demoDir);
            if (e.is_directory()) {
                fs::create_directories(target);
            } else if (!fs::copy_file(e.path(), target, fs::copy_options::skip_existing)) {
                continue;
            }
            makeOwnersOwn(target);
        }
        // The database last and under a temporary name: a copy cut short must not pass for
        // the user's database and block the next first start.
        if (fs::exists(demoDb)) {
            const fs::path part = dir / (demoDb.filename().string() + ".part");
            fs::copy_file(demoDb, part, fs::copy_options::overwrite_existing);
            makeOwnersOwn(part);
            fs::rename(part, probe.databasePath());
        }
        return {};
    } catch (const std::exception& e) {
        return "Der Programmordner " + dir.string() + " konnte nicht aus der Demo-Welt " + demoDir.string() +
               " gefüllt werden: " + e.what();
    }
}

StartupResult runStartup(const std::filesystem::path& programDir, const Registry& registry, Dao& dao) {
    StartupResult r;
    r.settings = readSettings(programDir, registry);
    if (!r.settings.error.empty()) r.errors.push_back(r.settings.error);

    const DatabasePreparation prepared = prepareDatabase(r.settings.databasePath());
    switch (prepared.outcome) {
        case DatabasePreparation::Outcome::Converted:
            r.statusText = prepared.message;
            break;
        case DatabasePreparation::Outcome::Ready:
            break;
        case DatabasePreparation::Outcome::Missing:
        case DatabasePreparation::Outcome::Unusable:
            r.errors.push_back(prepared.message);
            return r;
    }
    try {
        dao.open(r.settings.databasePath());
    } catch (const std::exception& e) {
        r.errors.push_back(e.what());
    }
    return r;
}

std::string programName() { return "Kickora Editor"; }

std::string programTitle() { return programName() + " " + KICKORA_VERSION; }

std::string projectAddress() { return "https://kickora-editor.de"; }
