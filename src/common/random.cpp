#include "random.h"

double RandomSource::next() {
    // 53 random bits, so the result never reaches 1 and does not depend on the library's distributions.
    return static_cast<double>(engine_() >> 11) * (1.0 / 9007199254740992.0);
}

std::uint64_t RandomSource::below(std::uint64_t n) {
    return n == 0 ? 0 : static_cast<std::uint64_t>(next() * static_cast<double>(n));
}
