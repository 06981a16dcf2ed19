// Resource archive, picture and crest commands, the same operations the editor uses.
#include "common/paths.h"
#include "common/profile.h"
#include "common/progress.h"
#include "editor/graphics/crests.h"
#include "editor/graphics/resarchive.h"
#include "editor/graphics/reszip.h"
#include "tool.h"

#include <filesystem>
#include <iostream>

namespace fs = std::filesystem;

namespace tool {

namespace {

// The editor's crest folder of a program folder: key "wappen" of kickoraeditor.ini, or the
// first-run default. The settings file is only read here, never written.
std::string crestFolder(const fs::path& programDir)
{
    const fs::path ini = programDir / "kickoraeditor.ini";
    std::error_code ec;
    if (fs::exists(ini, ec)) {
        const std::string stored = profile::getString("ordner", "wappen", "", ini);
        if (!stored.empty())
            return paths::folderValue(stored);
    }
    std::string dir = programDir.string();
    if (dir.empty() || dir.back() != '/')
        dir += '/';
    return dir + "wappen/";
}

}  // namespace

int cmdResList(const Args& args)
{
    if (args.size() != 1)
        return kUsage;
    if (!inputExists(args[0]))
        return kError;
    gfx::ResArchive a = gfx::ResArchive::open(args[0]);
    for (std::size_t i = 0; i < a.members().size(); ++i) {
        const gfx::ResMember& m = a.members()[i];
        std::cout << i << '\t' << m.type << '\t' << m.offset << '\t' << m.name << '\n';
    }
    return kOk;
}

int cmdResExtract(const Args& args)
{
    if (args.size() != 2)
        return kUsage;
    if (!inputExists(args[0]))
        return kError;
    gfx::ResArchive a = gfx::ResArchive::open(args[0]);
    // Members may share their bytes: what the folder would receive is measured first.
    std::uint64_t total = 0;
    for (std::size_t i = 0; i < a.members().size(); ++i) {
        try {
            total += a.memberSize(i);
        } catch (const gfx::Error&) {
        }
    }
    if (total > gfx::kMaxExpandedBytes)
        throw gfx::Error("Die Einträge des Archivs ergäben zusammen " + std::to_string(total >> 20) + " MB; mehr als " +
                         std::to_string(gfx::kMaxExpandedBytes >> 20) + " MB werden nicht ausgepackt.");
    int skipped = 0;
    for (std::size_t i = 0; i < a.members().size(); ++i) {
        try {
            a.extract(i, args[1]);
        } catch (const gfx::Error& e) {
            std::cerr << e.what() << '\n';
            ++skipped;
        }
    }
    return skipped ? kError : kOk;
}

int cmdGfp2Tga(const Args& args)
{
    if (args.size() != 2)
        return kUsage;
    if (!inputExists(args[0]))
        return kError;
    gfx::gfpFileToTgaFile(args[0], args[1]);
    return kOk;
}

int cmdTga2Gfp(const Args& in)
{
    Args args = in;
    bool compress = false;
    for (auto it = args.begin(); it != args.end();)
        if (*it == "--compress") {
            compress = true;
            it = args.erase(it);
        } else {
            ++it;
        }
    if (args.size() != 2)
        return kUsage;
    if (!inputExists(args[0]))
        return kError;
    if (!fs::exists(args[1])) {
        std::cerr << "Die Vorlage " << args[1] << " gibt es nicht: ihre Kopfdaten werden gebraucht.\n";
        return kError;
    }
    gfx::tgaFileToGfpFile(args[0], args[1], compress);
    return kOk;
}

int cmdCrestsImport(const Args& args)
{
    if (args.size() != 2)
        return kUsage;
    if (!inputExists(args[1]))
        return kError;
    NullProgress progress;
    crests::ImportResult r = crests::importCrests(crestFolder(args[0]), args[1], progress);
    if (!r.archive) {
        std::cerr << args[1] << " ist kein Ressourcenarchiv.\n";
        return kError;
    }
    for (const std::string& m : r.messages)
        std::cerr << m << '\n';
    std::cout << r.imported << " Wappen importiert\n";
    return r.messages.empty() ? kOk : kError;
}

int cmdCrestsExport(const Args& args)
{
    if (args.size() != 2)
        return kUsage;
    NullProgress progress;
    const int n = crests::exportCrests(crestFolder(args[0]), args[1], progress);
    std::cout << n << " Wappen exportiert\n";
    return kOk;
}

}  // namespace tool
