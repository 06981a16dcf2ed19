#pragma once
// Pictures for the windows: crests (TGA), jersey models and face parts (GIF).
#include <filesystem>

#include <QImage>

namespace gfx {

// TGA of any common kind (24-bit type 2 decoded here, the others by Qt's image plugins),
// GIF, PNG ... A null image when the file is missing or unreadable.
QImage loadPicture(const std::filesystem::path& file);

}  // namespace gfx
