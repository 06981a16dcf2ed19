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

TEST(TextCodec, GermanTextAndPunctuation) {
    EXPECT_EQ(utf8ToCp1252("Ä"), "\xC4");
    EXPECT_EQ(utf8ToCp1252("„Müller“ – 5 €"), "\x84M\xFCller\x93 \x96 5 \x80");
    EXPECT_EQ(cp1252ToUtf8("ST\xC4RKE \xDF \x8A\x9A\x9F \x80"), "STÄRKE ß ŠšŸ €");
    EXPECT_EQ(cp1252ToUtf8(std::string("a\0b", 3)), std::string("a\0b", 3));
}

TEST(TextCodec, UnmappableCharactersBecomeQuestionMarks) {
    EXPECT_EQ(utf8ToCp1252("Łódź"), "?\xF3" "d?");
    EXPECT_EQ(utf8ToCp1252("a😀b"), "a?b");        // one mark per character, not per byte
    EXPECT_EQ(utf8ToCp1252("東京"), "??");
    EXPECT_EQ(utf8ToCp1252("\xC2\x80"), "?");       // U+0080 has no byte: 0x80 is the euro sign
}

TEST(TextCodec, InvalidUtf8BytesAreTakenAsWindows1252) {
    EXPECT_EQ(utf8ToCp1252("M\xFCller"), "M\xFCller");
    EXPECT_EQ(utf8ToCp1252("Stra\xDF" "e \xC3"), "Stra\xDF" "e \xC3");   // lone lead byte at the end
    EXPECT_EQ(utf8ToCp1252("\xC0\xAF"), "\xC0\xAF");                     // overlong '/'
    EXPECT_EQ(utf8ToCp1252("\xED\xA0\x80"), "\xED\xA0\x80");             // surrogate
    EXPECT_EQ(utf8ToCp1252("\xF4\x90\x80\x80"), "\xF4\x90\x80\x80");     // above U+10FFFF
    EXPECT_EQ(utf8ToCp1252("\xE2\x82"), "\xE2\x82");                     // cut-off euro sign
    EXPECT_EQ(utf8ToCp1252("\xC4ra \xC3\x84"), "\xC4ra \xC4");           // mixed: both give Ä
}
