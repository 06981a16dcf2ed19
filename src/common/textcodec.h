#pragma once
// Windows-1252 <-> UTF-8. The game's files are Windows-1252; everything inside the programs is UTF-8.
#include <string>
#include <string_view>

namespace textcodec {

// Every byte maps to a character (the five unassigned bytes map to U+0081 etc. as Windows does).
std::string cp1252ToUtf8(std::string_view bytes);

// Characters without a Windows-1252 byte become '?'; invalid UTF-8 bytes are taken as Windows-1252.
std::string utf8ToCp1252(std::string_view utf8);

// One character of UTF-8 text, read from s[i] on; i moves past it. A byte that does not
// start a well-formed sequence stands for itself, as Latin-1, so nothing is lost.
char32_t nextCodePoint(std::string_view s, size_t& i);

// Appends one code point as UTF-8.
void appendUtf8(std::string& out, char32_t cp);

}  // namespace textcodec
