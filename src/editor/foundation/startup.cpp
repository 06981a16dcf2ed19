#include "foundation/startup.h"

#include "foundation/registry.h"

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
