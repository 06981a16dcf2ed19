#include "foundation/settings.h"

#include <charconv>
#include <fstream>
#include <system_error>

#include "common/paths.h"
#include "common/profile.h"
#include "foundation/registry.h"

namespace fs = std::filesystem;

const std::array<const char*, 10> kFolderKeys = {
    "attribute", "gesicht",      "trikot0", "trikot1",       "wappen",
    "kickoradaten", "z4daten", "kickoraconfig", "kickorares", "kickoraspieler",
};

namespace {

constexpr const char* kSectionFolders = "ordner";
constexpr const char* kSectionJersey = "trikot";
constexpr const char* kKeySatz = "satz";
constexpr const char* kGameKey = "Software\\Vandrel\\Kickora\\a_value";
constexpr const char* kGameValue = "Work_Dir";

std::string withSlash(const fs::path& p) {
    std::string s = p.string();
    if (s.empty() || s.back() != '/') s += '/';
    return s;
}

std::string trimBlanks(std::string s) {
    const auto first = s.find_first_not_of(" \t");
    if (first == std::string::npos) return {};
    const auto last = s.find_last_not_of(" \t");
    return s.substr(first, last - first + 1);
}

void addError(Settings& s, const std::string& message) {
    if (!s.error.empty()) s.error += '\n';
    s.error += message;
}

// Defaults used when a key is missing; the game folders fall back to the program folder.
std::array<std::string, 10> programDefaults(const fs::path& programDir) {
    const std::string d = withSlash(programDir);
    return {d + "attribute/", d + "gesicht/", d + "trikot/original/", d + "trikot/kickoranet/",
            d + "wappen/",    d,              d,                       d,
            d,                d};
}

// The game's installation folder from Work_Dir: the user hive wins over the machine hive.
// Empty when neither holds a usable text.
std::string gameFolder(const Registry& registry) {
    std::string found;
    for (Hive hive : {Hive::LocalMachine, Hive::CurrentUser}) {
        RegValue v;
        if (registry.queryValue(hive, kGameKey, kGameValue, v) != Registry::Success) continue;
        if (v.kind != RegValue::Kind::Text) continue;
        std::string text;
        for (char c : v.text)
            if (c != '\0') text += c;
        text = trimBlanks(text);
        // An empty value would turn the game folders into the file system root.
        if (!text.empty()) found = text;
    }
    return found;
}

// First run: writes the file with the defaults and returns the values written, so that a
// failed write still leaves sensible folders in memory.
std::array<std::string, 10> writeFirstRun(Settings& s, const Registry& registry) {
    auto values = programDefaults(s.programDir);
    const std::string game = gameFolder(registry);
    if (!game.empty()) {
        const std::string base = paths::folderValue(game);
        values[FolderKickoraconfig] = base + "config/";
        values[FolderKickorares] = base + "resfile/";
        values[FolderKickoraspieler] = base + "spielerbilder/";
    }

    profile::Writer writer(s.iniFile);
    bool ok = true;
    for (int i : {FolderKickoraconfig, FolderKickorares, FolderKickoraspieler})
        ok = writer.writeString(kSectionFolders, kFolderKeys[i], values[i]) && ok;
    for (int i = FolderAttribute; i <= FolderZ4daten; ++i)
        ok = writer.writeString(kSectionFolders, kFolderKeys[i], values[i]) && ok;
    ok = writer.writeString(kSectionJersey, kKeySatz, "0") && ok;
    ok = writer.flush() && ok;
    if (!ok) addError(s, "Die Einstellungsdatei " + s.iniFile.string() + " konnte nicht geschrieben werden.");
    return values;
}

void readFile(Settings& s, const std::array<std::string, 10>& defaults) {
    s.folders = defaults;
    s.satz = 0;

    std::error_code ec;
    if (!fs::exists(s.iniFile, ec)) return;  // only after a failed first-run write
    if (!fs::is_regular_file(s.iniFile, ec) || !std::ifstream(s.iniFile, std::ios::binary)) {
        addError(s, "Die Einstellungsdatei " + s.iniFile.string() + " kann nicht gelesen werden.");
        return;
    }

    const profile::Document doc = profile::Document::load(s.iniFile);
    for (std::size_t i = 0; i < s.folders.size(); ++i) {
        const std::string stored = doc.getString(kSectionFolders, kFolderKeys[i], defaults[i]);
        // An empty value would mean the current folder; the default is the safer reading.
        s.folders[i] = stored.empty() ? defaults[i] : paths::folderValue(stored);
    }

    const std::string satz = trimBlanks(doc.getString(kSectionJersey, kKeySatz, "0"));
    int value = 0;
    auto [end, err] = std::from_chars(satz.data(), satz.data() + satz.size(), value);
    if (err != std::errc() || end != satz.data() + satz.size()) {
        addError(s, "Ungültiger Trikotsatz \"" + satz + "\" in " + s.iniFile.string() +
                        "; Trikotsatz 0 wird verwendet.");
        value = 0;
    }
    s.satz = value != 0 ? 1 : 0;
}

}  // namespace

Settings readSettings(const fs::path& programDir, const Registry& registry) {
    Settings s;
    s.programDir = programDir;
    s.iniFile = programDir / "kickoraeditor.ini";
    auto defaults = programDefaults(programDir);
    try {
        std::error_code ec;
        if (!fs::exists(fs::symlink_status(s.iniFile, ec))) defaults = writeFirstRun(s, registry);
        readFile(s, defaults);
    } catch (const std::exception& e) {
        s.folders = defaults;
        addError(s, std::string("Fehler beim Lesen der Einstellungen: ") + e.what());
    }
    return s;
}

std::string writeSatz(Settings& settings, int value) {
    settings.satz = value != 0 ? 1 : 0;
    try {
        if (profile::writeString(kSectionJersey, kKeySatz, std::to_string(settings.satz), settings.iniFile))
            return {};
    } catch (const std::exception&) {
    }
    return "Der Trikotsatz konnte nicht in " + settings.iniFile.string() + " gespeichert werden.";
}
