// .gfp pictures: headers, raw and zlib pixel data, and the way to TGA and back, which must
// give the same pixels.
#include "editor/graphics/reszip.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    try {
        const gfx::GfpImage img = gfx::decodeGfp(data, size);
        if (gfx::gfpFileSize(data, size) > size)
            __builtin_trap();
        const gfx::Bytes tga = gfx::gfpToTga(img);
        if (img.headers.bytesPerPixel() == 2) {
            // 5 and 6 bits widened to 8 and narrowed again are the same bits.
            const gfx::Pixels565 back = gfx::tgaToPixels(tga.data(), tga.size());
            if (back.data != img.pixels)
                __builtin_trap();
            const gfx::Bytes again = gfx::encodeGfp(img.headers, back.width, back.height, back.data, true);
            if (gfx::decodeGfp(again.data(), again.size()).pixels != img.pixels)
                __builtin_trap();
        }
    } catch (const gfx::Error&) {
    }
    return 0;
}
