// Import of nwind.mdb against mdb-export of all its tables, side by side in one run.
// The import must not take more than 1.5 times as long as the export.
#include "common/jetimport.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

std::string shellQuote(const std::string& s) {
    std::string q = "'";
    for (char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

std::vector<std::string> tablesOf(const fs::path& file) {
    std::vector<std::string> out;
    FILE* p = ::popen(("mdb-tables -1 " + shellQuote(file.string())).c_str(), "r");
    if (!p) return out;
    char line[4096];
    while (std::fgets(line, sizeof line, p)) {
        std::string s = line;
        while (!s.empty() && (s.back() == '\n' || s.back() == '\r')) s.pop_back();
        if (!s.empty()) out.push_back(s);
    }
    ::pclose(p);
    return out;
}

double exportAll(const fs::path& file, const std::vector<std::string>& tables) {
    auto t0 = Clock::now();
    for (auto& t : tables) {
        std::string cmd = "mdb-export " + shellQuote(file.string()) + " " + shellQuote(t) + " > /dev/null";
        if (std::system(cmd.c_str()) != 0) std::fprintf(stderr, "mdb-export failed: %s\n", t.c_str());
    }
    return std::chrono::duration<double>(Clock::now() - t0).count();
}

double importOnce(const fs::path& file, const fs::path& dir, int round) {
    fs::path target = dir / ("import-" + std::to_string(round) + ".sqlite");
    auto t0 = Clock::now();
    jetimport::importFile(file, target);
    double s = std::chrono::duration<double>(Clock::now() - t0).count();
    fs::remove(target);
    return s;
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
    fs::path file = argc > 1 ? fs::path(argv[1]) : fs::path(KICKORA_FIXTURES) / "jet" / "nwind.mdb";
    int rounds = argc > 2 ? std::max(1, std::atoi(argv[2])) : 5;
    fs::path dir = fs::temp_directory_path() / ("bench-jetimport-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    auto tables = tablesOf(file);
    if (tables.empty()) {
        std::fprintf(stderr, "no tables in %s (is mdbtools installed?)\n", file.c_str());
        return 2;
    }
    // alternate the two, so that both see the same machine load
    std::vector<double> exports, imports;
    exportAll(file, tables);  // warm the page cache
    for (int r = 0; r < rounds; ++r) {
        exports.push_back(exportAll(file, tables));
        imports.push_back(importOnce(file, dir, r));
    }
    fs::remove_all(dir);
    double e = median(exports), i = median(imports);
    std::printf("file: %s (%zu tables), %d rounds, medians\n", file.c_str(), tables.size(), rounds);
    std::printf("mdb-export of all tables: %8.1f ms\n", e * 1000);
    std::printf("import into SQLite:       %8.1f ms\n", i * 1000);
    std::printf("ratio import/export:      %8.2f (limit 1.50) %s\n", i / e, i / e <= 1.5 ? "ok" : "TOO SLOW");
    return i / e <= 1.5 ? 0 : 1;
}
