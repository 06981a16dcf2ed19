#pragma once
// File and folder names of exporter files, derived from club, league and country names.
// The writer and the editor's import both go through this one rule, so that an index line
// always finds its club file.
#include <string>
#include <string_view>

// The name as a single path component: every "/" removed (it would open a subfolder);
// "." and ".." become "_" and "__" so the name cannot point at its own or the parent
// folder. Everything else stays as the name is.
std::string exportFileName(std::string_view name);
