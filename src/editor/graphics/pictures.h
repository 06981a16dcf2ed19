#pragma once
// Pictures for the windows: crests (TGA), jersey models and face parts (GIF).
#include <cstdint>
#include <filesystem>
#include <string_view>
#include <vector>

#include <QImage>

namespace gfx {

// TGA of any common kind (24-bit type 2 decoded here, the others by Qt's image plugins),
// GIF, PNG ... A null image when the file is missing or unreadable.
QImage loadPicture(const std::filesystem::path& file);
// The same on a file's bytes; extension (".tga" in any case) marks a TGA, which has no magic number.
QImage loadPicture(const std::vector<std::uint8_t>& bytes, std::string_view extension);

}  // namespace gfx
