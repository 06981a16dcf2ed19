#include "common/textfold.h"

#include "common/collation.h"
#include "common/textcodec.h"

namespace textfold {

std::string fold(std::string_view text) {
    std::string out;
    foldInto(text, out);
    return out;
}

void foldInto(std::string_view text, std::string& out) {
    out.clear();
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        const auto c0 = static_cast<unsigned char>(text[i]);
        if (c0 < 0x80) {  // the common case: plain ASCII
            out += static_cast<char>(c0 >= 'A' && c0 <= 'Z' ? c0 + 32 : c0);
            ++i;
            continue;
        }
        const char32_t c = textcodec::nextCodePoint(text, i);
        if (const std::string_view base = collation::baseLetters(c); !base.empty())
            out += base;
        else
            textcodec::appendUtf8(out, c);
    }
}

bool contains(std::string_view text, std::string_view needle) {
    if (needle.empty()) return true;
    return fold(text).find(fold(needle)) != std::string::npos;
}

}  // namespace textfold
