// Resource archive (wa.res, ma.res): directory, members and their pictures, as the crest
// import reads them.
#include "editor/graphics/resarchive.h"
#include "editor/graphics/reszip.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    try {
        gfx::ResArchive a = gfx::ResArchive::fromBytes(gfx::Bytes(data, data + size), "fuzz.res");
        gfx::Bytes tga;
        for (std::size_t i = 0; i < a.members().size() && i < 64; ++i) {
            try {
                const gfx::GfpHeaders h = a.memberHeaders(i);
                if (a.memberSize(i) > a.fileSize())
                    __builtin_trap();  // a member never reaches past the file
                gfx::checkMemberSize(h);
                const gfx::Bytes gfp = a.memberGfp(i);
                gfx::gfpToTga(gfx::decodeGfp(gfp.data(), gfp.size()), tga);
            } catch (const gfx::Error&) {
            }
        }
    } catch (const gfx::Error&) {
    }
    return 0;
}
