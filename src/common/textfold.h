#pragma once
// Names without regard to letter case and diacritics, for finding: "Müller" folds to
// "muller", "São" to "sao", "Straße" to "strasse". Sorting names is collation's.
#include <string>
#include <string_view>

namespace textfold {

// Lower case with the letters of Latin-1 and Latin Extended-A reduced to their base letters
// (ß as ss, Æ as ae); other characters stay as they are. UTF-8 in and out; a byte that is no
// part of a well-formed sequence counts as the Latin-1 character of that number.
std::string fold(std::string_view text);
// The same, written into `out` (cleared first), for callers that fold many texts in a row.
void foldInto(std::string_view text, std::string& out);

// Whether `text` contains `needle` once both are folded. An empty needle is in every text.
bool contains(std::string_view text, std::string_view needle);

}  // namespace textfold
