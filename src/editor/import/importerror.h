#pragma once
#include <stdexcept>

namespace imp {

// Every failure of the import; what() is the German message for the user.
struct Error : std::runtime_error {
    using std::runtime_error::runtime_error;
};

}  // namespace imp
