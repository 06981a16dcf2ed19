#include "jetsql.h"

namespace jetsql {

std::string translate(std::string_view jet)
{
    return std::string(jet);
}

std::string quote(std::string_view text, char quoteChar)
{
    std::string out;
    out.reserve(text.size() + 2);
    out += quoteChar;
    for (char c : text) {
        out += c;
        if (c == quoteChar)
            out += c;
    }
    out += quoteChar;
    return out;
}

}  // namespace jetsql
