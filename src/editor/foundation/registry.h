#pragma once
// Read access to the registry of a Wine prefix, through its text files:
// system.reg holds HKEY_LOCAL_MACHINE, user.reg HKEY_CURRENT_USER.
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

enum class Hive { LocalMachine, CurrentUser };

struct RegValue {
    enum class Kind { None, Text, Number, Binary };
    Kind kind = Kind::None;
    std::uint32_t type = 0;           // Windows value type: 1 REG_SZ, 2 REG_EXPAND_SZ, 3 REG_BINARY, 4 REG_DWORD, ...
    std::string text;                 // Kind::Text, UTF-8, without the string's terminating NUL
    std::uint64_t number = 0;         // Kind::Number (dword, qword)
    std::vector<std::uint8_t> bytes;  // Kind::Binary
};

class Registry {
public:
    // Error codes as Windows gives them.
    static constexpr int Success = 0;
    static constexpr int ErrorFileNotFound = 2;   // no prefix, no file, no key or no value
    static constexpr int ErrorInvalidData = 13;   // the value's data cannot be read

    // prefix: the Wine prefix folder; empty means "no registry": every lookup gives 2.
    explicit Registry(std::filesystem::path prefix);
    // The prefix the programs use ($WINEPREFIX, else ~/.wine).
    static Registry forDefaultPrefix();

    const std::filesystem::path& prefix() const { return prefix_; }

    // Looks up valueName (empty = the key's default value) under keyPath (single backslashes,
    // letter case ignored). Returns 0 and fills out, or an error code and leaves out untouched.
    // For HKEY_LOCAL_MACHINE\Software the 32-bit view (Software\Wow6432Node\...) is tried first,
    // as a 32-bit Windows program on a 64-bit prefix sees it, then the key itself.
    int queryValue(Hive hive, std::string keyPath, std::string valueName, RegValue& out) const;

private:
    std::filesystem::path prefix_;
};
