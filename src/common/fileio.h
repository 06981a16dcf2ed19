#pragma once
// Writing whole files safely: readers and a failed write never see half a file.
#include <filesystem>
#include <string_view>

namespace fileio {

// Writes bytes into a fresh file beside the target and renames it over the target. A symbolic
// link is written through, not replaced; the old file's permissions are kept. False on any
// failure, and then the target is as it was and no temporary file is left.
bool replaceFile(const std::filesystem::path& target, std::string_view bytes);

}  // namespace fileio
