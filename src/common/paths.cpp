#include "common/paths.h"

#include <algorithm>
#include <cstdlib>
#include <system_error>

#include <unistd.h>

namespace fs = std::filesystem;

namespace paths {

namespace {

// Lower case for ASCII and for the Latin-1 letters of UTF-8 (two-byte sequences C3 80..C3 9E),
// enough for the German names of game files (Müller.jpg vs MÜLLER.JPG).
std::string foldCase(std::string_view s) {
    std::string out;
    out.reserve(s.size());
    for (std::size_t i = 0; i < s.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(s[i]);
        if (c >= 'A' && c <= 'Z') {
            out += static_cast<char>(c - 'A' + 'a');
        } else if (c == 0xC3 && i + 1 < s.size()) {
            unsigned char n = static_cast<unsigned char>(s[i + 1]);
            // À..Þ without × (0x97) map to à..þ
            if (n >= 0x80 && n <= 0x9E && n != 0x97) n = static_cast<unsigned char>(n + 0x20);
            out += static_cast<char>(c);
            out += static_cast<char>(n);
            ++i;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
}

bool existsNoThrow(const fs::path& p) {
    std::error_code ec;
    return fs::exists(fs::symlink_status(p, ec));
}

// The link target of <prefix>/dosdevices/<letter>: as Wine itself would resolve it.
fs::path driveRoot(char letter) {
    fs::path prefix = winePrefix();
    if (prefix.empty()) return {};
    fs::path dosdevices = prefix / "dosdevices";
    const char lower = static_cast<char>(letter | 0x20);
    const char upper = static_cast<char>(lower - 'a' + 'A');
    for (char l : {lower, upper}) {
        fs::path link = dosdevices / std::string{l, ':'};
        std::error_code ec;
        auto st = fs::symlink_status(link, ec);
        if (ec || !fs::exists(st)) continue;
        if (fs::is_symlink(st)) {
            fs::path target = fs::read_symlink(link, ec);
            if (ec) continue;
            if (target.is_relative()) target = dosdevices / target;
            return target.lexically_normal();
        }
        if (fs::is_directory(st)) return link;
    }
    return {};
}

}  // namespace

fs::path programDir() {
    std::error_code ec;
    fs::path exe = fs::read_symlink("/proc/self/exe", ec);
    if (ec || exe.empty()) return fs::current_path(ec);
    return exe.parent_path();
}

fs::path installedDataDir(const fs::path& exeDir) {
    return (exeDir / ".." / "share" / "kickora").lexically_normal();
}

bool isInstalled(const fs::path& exeDir) {
    if (::access(exeDir.c_str(), W_OK) != 0) return true;
    std::error_code ec;
    return fs::is_directory(installedDataDir(exeDir), ec);
}

fs::path programDir(const fs::path& exeDir, const fs::path& userDataDir) {
    return isInstalled(exeDir) ? userDataDir : exeDir;
}

std::string folderValue(std::string_view stored) {
    if (stored.empty()) return {};
    std::string s(stored);
    std::replace(s.begin(), s.end(), '\\', '/');

    const bool hasDrive = s.size() >= 2 && s[1] == ':' &&
                          ((s[0] >= 'A' && s[0] <= 'Z') || (s[0] >= 'a' && s[0] <= 'z'));
    if (hasDrive) {
        fs::path root = driveRoot(s[0]);
        // Without a prefix (or without that drive) the value stays as written, only with
        // '/' separators, so the user still sees what the settings file says.
        if (!root.empty()) {
            std::string rest = s.substr(2);
            while (!rest.empty() && rest.front() == '/') rest.erase(rest.begin());
            std::string r = root.string();
            if (r.empty() || r.back() != '/') r += '/';
            s = r + rest;
        }
    }
    if (s.back() != '/') s += '/';

    // A folder copied from Windows may differ in letter case.
    if (!existsNoThrow(s)) {
        fs::path found = findFile(fs::path(s));
        std::string f = found.string();
        if (f.empty() || f.back() != '/') f += '/';
        s = f;
    }
    return s;
}

fs::path findFile(const fs::path& file) {
    if (file.empty() || existsNoThrow(file)) return file;
    if (!file.has_filename()) {
        // "dir/": look the folder up and keep the trailing separator.
        fs::path dir = file.parent_path();
        if (dir == file || dir.empty()) return file;
        fs::path found = findFile(dir);
        return found == dir ? file : found / "";
    }
    const fs::path parent = file.parent_path();
    if (parent == file) return file;
    const fs::path found = FolderLookup(parent).find(file.filename().string());
    return existsNoThrow(found) ? found : file;
}

FolderLookup::FolderLookup(const fs::path& folder) : folder_(folder) {
    // The folder itself may differ in letter case too.
    if (!folder_.empty() && !existsNoThrow(folder_)) folder_ = findFile(folder_);
}

fs::path FolderLookup::find(const std::string& name) const {
    const fs::path exact = folder_.empty() ? fs::path(name) : folder_ / name;
    if (existsNoThrow(exact)) return exact;
    if (!listed_) {
        listed_ = true;
        std::error_code ec;
        fs::directory_iterator it(folder_.empty() ? fs::path(".") : folder_, ec);
        for (; !ec && it != fs::directory_iterator(); it.increment(ec)) {
            std::string entry = it->path().filename().string();
            // Several candidates only on a case-sensitive disk with near-duplicates: take a fixed one.
            auto [pos, added] = entries_.try_emplace(foldCase(entry), entry);
            if (!added && entry < pos->second) pos->second = std::move(entry);
        }
    }
    const auto it = entries_.find(foldCase(name));
    if (it == entries_.end()) return exact;
    return folder_.empty() ? fs::path(it->second) : folder_ / it->second;
}

fs::path winePrefix() {
    fs::path p;
    if (const char* w = std::getenv("WINEPREFIX"); w && *w) {
        p = w;
    } else if (const char* h = std::getenv("HOME"); h && *h) {
        p = fs::path(h) / ".wine";
    } else {
        return {};
    }
    std::error_code ec;
    return fs::is_directory(p, ec) ? p : fs::path();
}

}  // namespace paths
