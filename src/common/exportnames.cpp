#include "exportnames.h"

std::string exportFileName(std::string_view name) {
    std::string out;
    out.reserve(name.size());
    for (char c : name)
        if (c != '/') out += c;
    if (out == "." || out == "..") out.assign(out.size(), '_');
    return out;
}
