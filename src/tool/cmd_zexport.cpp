// zexporter commands: the Zentor 4 demo source and the exports of the export menu.
#include "common/jetdb.h"
#include "common/random.h"
#include "demo/zentordemo.h"
#include "exporter/zexport.h"
#include "exporter/zsource.h"
#include "tool.h"

#include <charconv>
#include <iostream>

namespace fs = std::filesystem;

namespace tool {

namespace {

template <typename T>
bool parse(const std::string& text, T& out) {
    auto [p, ec] = std::from_chars(text.data(), text.data() + text.size(), out);
    return ec == std::errc() && p == text.data() + text.size();
}

}  // namespace

int cmdDemoZentor(const Args& in) {
    Args args = in;
    std::string scale = "1", seed = "1";
    if (!takeOption(args, "--scale", scale) || !takeOption(args, "--seed", seed) || args.size() != 1) return kUsage;
    demo::Options options;
    if (!parse(scale, options.scale) || options.scale < 1 || options.scale > 1000) {
        std::cerr << "Ungültige Größe: " << scale << "\n";
        return kUsage;
    }
    if (!parse(seed, options.seed)) {
        std::cerr << "Ungültiger Startwert: " << seed << "\n";
        return kUsage;
    }
    demo::writeZentorDatabase(args[0], options);
    return kOk;
}

int cmdZexport(const Args& in) {
    Args args = in;
    std::string seedText = "1";
    if (!takeOption(args, "--seed", seedText)) return kUsage;
    std::uint64_t seed = 1;
    if (!parse(seedText, seed)) {
        std::cerr << "Ungültiger Startwert: " << seedText << "\n";
        return kUsage;
    }
    if (args.size() < 3) return kUsage;
    const fs::path source = args[0];
    const std::string mode = args[1];
    const std::size_t numbers = mode == "--league" ? 2 : mode == "--all" ? 0 : 1;
    if ((mode != "--club" && mode != "--national" && mode != "--country" && mode != "--league" && mode != "--all") ||
        args.size() != 3 + numbers)
        return kUsage;
    zexp::Id n[2] = {0, 0};
    for (std::size_t i = 0; i < numbers; ++i)
        if (!parse(args[2 + i], n[i])) {
            std::cerr << "Ungültige Nummer: " << args[2 + i] << "\n";
            return kUsage;
        }
    const fs::path target = args.back();

    const zexp::Source src = zexp::Source::open(source);
    RandomSource rnd(seed);
    zexp::ExportOptions options;
    options.random = &rnd;
    zexp::ExportResult r;
    if (mode == "--club")
        r = zexp::exportClub(src, n[0], target, options);
    else if (mode == "--national")
        r = zexp::exportNational(src, n[0], target, options);
    else if (mode == "--country")
        r = zexp::exportCountry(src, n[0], target, options);
    else if (mode == "--league")
        r = zexp::exportLeague(src, n[0], n[1] == 0 ? std::nullopt : std::optional<zexp::Id>(n[1]), target, options);
    else {
        std::error_code ec;
        fs::create_directories(target, ec);
        if (!fs::is_directory(target)) {
            std::cerr << "Der Ordner " << target.string() << " konnte nicht angelegt werden.\n";
            return kError;
        }
        r = zexp::exportAllCountriesTo(src, target, options);
    }
    if (!r.ok()) {
        std::cerr << r.errors.front();
        if (r.errors.size() > 1) std::cerr << " (und " << r.errors.size() - 1 << " weitere Fehler)";
        std::cerr << "\n";
        return kError;
    }
    std::cout << "Geschrieben: " << r.clubFiles << " Vereinsdateien, " << r.indexFiles << " Indexdateien\n";
    return kOk;
}

}  // namespace tool
