// Crest export and import of 1000 demo-sized crests against zlib alone on the same pixels,
// and the chooser's loading of 1000 crests. Run by hand: bench_crests [rounds]
#include "benchtiming.h"
#include "common/progress.h"
#include "demo/demopictures.h"
#include "editor/graphics/crests.h"
#include "editor/graphics/resarchive.h"
#include "editor/graphics/reszip.h"

#include <QImage>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <vector>

#include <unistd.h>

namespace fs = std::filesystem;

using benchtiming::best;
using benchtiming::now;

int main(int argc, char** argv)
{
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    const fs::path dir = fs::temp_directory_path() / ("bench-crests-" + std::to_string(::getpid()));
    const std::string folder = (dir / "wappen").string() + "/";
    std::vector<int> numbers(1000);
    for (int n = 0; n < 1000; ++n)
        numbers[n] = n;
    demo::writeCrests(folder, numbers, 1);

    // The same pixel data zlib alone works on: the crests as RGB565.
    std::vector<gfx::Bytes> pixels, packed;
    for (int n : numbers)
        pixels.push_back(gfx::tgaFileToPixels(crests::crestFile(folder, n)).data);
    const double zlibCompress = best(rounds, [&] {
        packed.clear();
        for (const auto& p : pixels)
            packed.push_back(gfx::compress(p.data(), p.size()));
    });
    const double zlibInflate = best(rounds, [&] {
        for (std::size_t i = 0; i < packed.size(); ++i)
            gfx::decompress(packed[i].data(), packed[i].size(), pixels[i].size());
    });

    NullProgress none;
    const fs::path archive = dir / "wa.res";
    const double exportTime = best(rounds, [&] { crests::exportCrests(folder, archive, none); });
    const double importTime = best(rounds, [&] { crests::importCrests(folder, archive, none); });

    // Chooser: first opening with 500 crests missing (copied from default.tga), then again.
    for (int n = 0; n < 1000; n += 2)
        fs::remove(crests::crestFile(folder, n));
    double t0 = now();
    std::vector<QImage> cells = crests::loadCrestPreviews(folder);
    const double chooserFirst = now() - t0;
    const double chooser = best(rounds, [&] { cells = crests::loadCrestPreviews(folder); });

    std::size_t raw = 0, comp = 0;
    for (std::size_t i = 0; i < pixels.size(); ++i) {
        raw += pixels[i].size();
        comp += packed[i].size();
    }
    std::printf("1000 crests of %dx%d: %zu bytes of pixels, %zu compressed, archive %ju bytes\n", demo::kCrestSize,
                demo::kCrestSize, raw, comp, static_cast<std::uintmax_t>(fs::file_size(archive)));
    std::printf("export  %7.1f ms   zlib compress2 alone %7.1f ms   ratio %.2f\n", exportTime * 1e3,
                zlibCompress * 1e3, exportTime / zlibCompress);
    std::printf("import  %7.1f ms   zlib uncompress alone %6.1f ms   ratio %.2f\n", importTime * 1e3,
                zlibInflate * 1e3, importTime / zlibInflate);
    std::printf("chooser %7.1f ms (first opening, 500 copies of default.tga %.1f ms)\n", chooser * 1e3,
                chooserFirst * 1e3);
    fs::remove_all(dir);
    return 0;
}
