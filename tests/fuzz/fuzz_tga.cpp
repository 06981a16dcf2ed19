// TGA crests: the 24-bit reader of the conversions and the picture loader of the windows.
#include "editor/graphics/pictures.h"
#include "editor/graphics/reszip.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::vector<std::uint8_t> bytes(data, data + size);
    try {
        const gfx::Pixels565 px = gfx::tgaToPixels(data, size);
        if (!px.empty()) {
            const gfx::Bytes gfp = gfx::encodeGfp(gfx::GfpHeaders{}, px.width, px.height, px.data, false);
            if (gfx::decodeGfp(gfp.data(), gfp.size()).pixels != px.data)
                __builtin_trap();
        }
    } catch (const gfx::Error&) {
    }
    const QImage img = gfx::loadPicture(bytes, ".tga");
    if (!img.isNull() && (img.width() < 1 || img.height() < 1))
        __builtin_trap();
    return 0;
}
