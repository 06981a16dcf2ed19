// Profile file writes as an exporter does them: sections of 20 keys, one section per player.
// Writer (one file in memory, one save) against writeString key by key, and the Writer's
// growth with the number of keys.
#include "common/profile.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

const char* const kKeys[20] = {"Name",  "Vorname", "Land",   "Position", "Staerke", "Nummer", "Haut",
                               "Haare", "Spiele",  "Alter",  "Groesse",  "Talent1", "Talent2", "Talent3",
                               "Fuss",  "Verein",  "Vertrag", "Gehalt",  "Marktwert", "Bemerkung"};

std::string value(int section, int key) {
    return "Wert " + std::to_string(section) + "/" + std::to_string(key) + " M\xC3\xBCller";
}

double ms(Clock::time_point a, Clock::time_point b) {
    return std::chrono::duration<double, std::milli>(b - a).count();
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// Writes sections x 20 keys through one Writer into a fresh file; milliseconds including the save.
double writerRun(const fs::path& file, int sections) {
    fs::remove(file);
    const auto t0 = Clock::now();
    {
        profile::Writer w(file);
        for (int s = 1; s <= sections; ++s)
            for (int k = 0; k < 20; ++k) w.writeString("Spieler" + std::to_string(s), kKeys[k], value(s, k));
        w.flush();
    }
    return ms(t0, Clock::now());
}

double keyByKeyRun(const fs::path& file, int sections) {
    fs::remove(file);
    const auto t0 = Clock::now();
    for (int s = 1; s <= sections; ++s)
        for (int k = 0; k < 20; ++k)
            profile::writeString("Spieler" + std::to_string(s), kKeys[k], value(s, k), file);
    return ms(t0, Clock::now());
}

// Every key of an existing 2,000-key file replaced (a re-export over an old file).
double writerReplaceRun(const fs::path& file, int sections, int round) {
    const auto t0 = Clock::now();
    {
        profile::Writer w(file);
        for (int s = 1; s <= sections; ++s)
            for (int k = 0; k < 20; ++k)
                w.writeString("spieler" + std::to_string(s), kKeys[k], value(s, k) + "#" + std::to_string(round));
    }
    return ms(t0, Clock::now());
}

}  // namespace

int main(int argc, char** argv) {
    const int repeats = argc > 1 ? std::stoi(argv[1]) : 30;
    const fs::path dir = fs::temp_directory_path() / ("kickora-bench-profile-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    const fs::path file = dir / "export.aet";

    std::vector<double> writer, replace, keyByKey;
    for (int i = 0; i < repeats; ++i) writer.push_back(writerRun(file, 100));
    for (int i = 0; i < repeats; ++i) replace.push_back(writerReplaceRun(file, 100, i));
    for (int i = 0; i < std::max(1, repeats / 10); ++i) keyByKey.push_back(keyByKeyRun(file, 100));
    const auto size = fs::file_size(file);

    std::printf("2000 keys (100 sections x 20), file %ju bytes\n", static_cast<uintmax_t>(size));
    std::printf("  Writer, new file:           median %8.2f ms  (best %.2f)\n", median(writer),
                *std::min_element(writer.begin(), writer.end()));
    std::printf("  Writer, replace every key:  median %8.2f ms\n", median(replace));
    std::printf("  writeString key by key:     median %8.2f ms\n", median(keyByKey));

    std::printf("Writer growth (new file):\n");
    for (int sections : {50, 100, 200, 400, 800, 1600}) {
        std::vector<double> runs;
        for (int i = 0; i < std::max(3, repeats / 5); ++i) runs.push_back(writerRun(file, sections));
        const double m = median(runs);
        std::printf("  %6d keys: %8.2f ms  %6.2f us/key\n", sections * 20, m, 1000.0 * m / (sections * 20));
    }
    fs::remove_all(dir);
    return 0;
}
