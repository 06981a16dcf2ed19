#include "common/textcodec.h"

#include <gtest/gtest.h>
#include <iconv.h>

#include <set>
#include <string>

using textcodec::cp1252ToUtf8;
using textcodec::utf8ToCp1252;

namespace {

// glibc's converter as an independent reference; it knows no character for the five bytes
// Windows leaves unassigned, so those come back empty.
std::string iconvCp1252ToUtf8(unsigned char byte) {
    iconv_t cd = iconv_open("UTF-8", "WINDOWS-1252");
    if (cd == reinterpret_cast<iconv_t>(-1)) return "no-iconv";
    char in[1] = {static_cast<char>(byte)};
    char out[8] = {};
    char* ip = in;
    char* op = out;
    size_t il = 1, ol = sizeof out;
    const size_t rc = iconv(cd, &ip, &il, &op, &ol);
    iconv_close(cd);
    if (rc == static_cast<size_t>(-1)) return {};
    return std::string(out, op);
}

}  // namespace

TEST(TextCodec, EveryByteMatchesWindowsAndRoundTrips) {
    const std::set<int> unassigned = {0x81, 0x8D, 0x8F, 0x90, 0x9D};
    for (int b = 0; b < 256; ++b) {
        const std::string byte(1, static_cast<char>(b));
        const std::string utf8 = cp1252ToUtf8(byte);
        if (unassigned.count(b)) {
            // U+0081 etc.: two bytes C2 xx
            EXPECT_EQ(utf8, std::string("\xC2") + static_cast<char>(b)) << "byte " << b;
        } else {
            EXPECT_EQ(utf8, iconvCp1252ToUtf8(static_cast<unsigned char>(b))) << "byte " << b;
        }
        EXPECT_EQ(utf8ToCp1252(utf8), byte) << "byte " << b;
    }
}

TEST(TextCodec, ToWindows1252) {
    const std::pair<std::string, std::string> cases[] = {
        {"Ä", "\xC4"}, {"„Müller“ – 5 €", "\x84M\xFCller\x93 \x96 5 \x80"},
        // unmappable: one question mark per character, not per byte; U+0080 has no byte (0x80 is €)
        {"Łódź", "?\xF3" "d?"}, {"a😀b", "a?b"}, {"東京", "??"}, {"\xC2\x80", "?"},
        // bytes that are no UTF-8 are taken as Windows-1252
        {"M\xFCller", "M\xFCller"}, {"Stra\xDF" "e \xC3", "Stra\xDF" "e \xC3"},  // lone lead byte at the end
        {"\xC0\xAF", "\xC0\xAF"}, {"\xED\xA0\x80", "\xED\xA0\x80"},              // overlong '/', surrogate
        {"\xF4\x90\x80\x80", "\xF4\x90\x80\x80"}, {"\xE2\x82", "\xE2\x82"},      // above U+10FFFF, cut-off €
        {"\xC4ra \xC3\x84", "\xC4ra \xC4"}};                                     // mixed: both give Ä
    for (const auto& [utf8, want] : cases) EXPECT_EQ(utf8ToCp1252(utf8), want) << utf8;
    EXPECT_EQ(cp1252ToUtf8("ST\xC4RKE \xDF \x8A\x9A\x9F \x80"), "STÄRKE ß ŠšŸ €");
    EXPECT_EQ(cp1252ToUtf8(std::string("a\0b", 3)), std::string("a\0b", 3));
}
