#pragma once
// Windows profile (INI) files with the behaviour of the Windows profile functions:
// section and key names compare case-insensitively, values are trimmed, a written value
// replaces the old one in place, a new key goes to the end of its section, a new section
// to the end of the file; comments and unknown lines survive. Files are Windows-1252 with
// CR LF; the interface speaks UTF-8.
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace profile {

// Read string: the stored value trimmed, or def when the file, section or key is missing.
std::string getString(std::string_view section, std::string_view key, std::string_view def,
                      const std::filesystem::path& file);
// Read integer: leading decimal digits of the value (optional sign), 0 when missing or not a number.
long getInt(std::string_view section, std::string_view key, const std::filesystem::path& file);
// Write string: creates file and section when needed. False when the file cannot be written.
bool writeString(std::string_view section, std::string_view key, std::string_view value,
                 const std::filesystem::path& file);
// List section names, in file order.
std::vector<std::string> sectionNames(const std::filesystem::path& file);
// List section: the lines of the section (key=value lines and lines without '='), comments left out.
std::vector<std::string> sectionLines(std::string_view section, const std::filesystem::path& file);

// A whole profile file held in memory: many reads and writes, then one save. Saving writes
// the same bytes as writing the same keys one by one through writeString would.
class Document {
public:
    Document();
    ~Document();
    Document(Document&&) noexcept;
    Document& operator=(Document&&) noexcept;

    // Loads the file; a missing file gives an empty document.
    static Document load(const std::filesystem::path& file);
    static Document fromBytes(std::string_view cp1252Bytes);

    std::string getString(std::string_view section, std::string_view key, std::string_view def) const;
    long getInt(std::string_view section, std::string_view key) const;
    void setString(std::string_view section, std::string_view key, std::string_view value);
    std::vector<std::string> sectionNames() const;
    std::vector<std::string> sectionLines(std::string_view section) const;

    std::string toBytes() const;                           // Windows-1252, CR LF
    bool save(const std::filesystem::path& file) const;    // false on a write error

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

// Writer for many keys of one file: keeps the file in memory and writes it once.
class Writer {
public:
    explicit Writer(std::filesystem::path file);
    ~Writer();  // flushes
    bool writeString(std::string_view section, std::string_view key, std::string_view value);
    bool flush();  // false on a write error

private:
    std::filesystem::path file_;
    Document doc_;
    bool dirty_ = false;
};

}  // namespace profile
