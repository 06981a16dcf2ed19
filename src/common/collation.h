#pragma once
// Text order as Jet sorts names: without regard to letter case, and letters with diacritics
// with their base letter (Ä with A, Ö with O, é with e, ß as ss, Æ as ae). Texts equal in
// that respect are ordered by their case-folded characters, so only texts that differ in
// nothing but letter case compare equal (ASCII and the Latin-1 letters fold, as Jet's
// equality does). The database's NOCASE collation and every sort of names in C++ use it.
#include <string_view>

namespace collation {

// Negative, zero or positive as a sorts before, with or after b. UTF-8 text; a byte that is
// not part of a well-formed sequence counts as the Latin-1 character of that number.
int compare(std::string_view a, std::string_view b);

// The lower-case base letters of a character of Latin-1 or Latin Extended-A ("a" for "Ä",
// "ss" for "ß"); empty for any other character.
std::string_view baseLetters(char32_t c);

struct Less {
    bool operator()(std::string_view a, std::string_view b) const { return compare(a, b) < 0; }
};

// Generation of this order. Database files record the generation their text indexes were
// built with, so that indexes built in an earlier order are rebuilt once.
inline constexpr int kGeneration = 1;

}  // namespace collation
