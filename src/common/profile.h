#pragma once
// Windows profile (INI) files with the behaviour of the Windows profile functions:
// section and key names compare case-insensitively, values are trimmed, a written value
// replaces the old one in place, a new key goes to the end of its section, a new section
// right after the last line of the file (no blank line before it); comments and unknown
// lines survive. Files are Windows-1252 and written with CR LF; CR LF, LF and a lone CR all
// end a line when reading (a file that starts with a UTF-8 byte order mark is kept UTF-8,
// as Windows does); the interface speaks UTF-8. Lines a write does not change keep their bytes.
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace profile {

// Names are looked up trimmed; a value in one pair of matching quotes ("..." or '...') is
// returned without them. Key "" reads an "=value" line, section "" a "[]" section. Files that exist but cannot be read count as missing for reads and
// are never overwritten by writes.

// Read string: the stored value trimmed, or def when the file, section or key is missing
// (as Windows does, trailing blanks of def are dropped).
std::string getString(std::string_view section, std::string_view key, std::string_view def,
                      const std::filesystem::path& file);
// Read integer: leading decimal digits of the value (optional sign), 0 when missing or not a number.
long getInt(std::string_view section, std::string_view key, const std::filesystem::path& file);
// Write string: creates file and section when needed. False when the file cannot be read or
// written, or when the names or the value would break the file's line structure (empty
// section or key, a line break anywhere, '=' in the key, a key starting with '[' or ';').
// A value equal to the stored one leaves the file untouched.
bool writeString(std::string_view section, std::string_view key, std::string_view value,
                 const std::filesystem::path& file);
// List section names, in file order.
std::vector<std::string> sectionNames(const std::filesystem::path& file);
// List section: the lines of the section (key=value lines, "=value" lines and lines without
// '='), comments and blank lines left out.
std::vector<std::string> sectionLines(std::string_view section, const std::filesystem::path& file);

// A whole profile file held in memory: many reads and writes, then one save. Saving writes
// the same bytes as writing the same keys one by one through writeString would.
class Document {
public:
    Document();
    ~Document();
    Document(Document&&) noexcept;
    Document& operator=(Document&&) noexcept;

    // Loads the file; a missing or unreadable file gives an empty document.
    static Document load(const std::filesystem::path& file);
    // Like load, but nullopt when the file exists and cannot be read.
    static std::optional<Document> tryLoad(const std::filesystem::path& file);
    // The reader for bytes held in memory (a file's content as it would be on disk).
    static Document fromBytes(std::string_view cp1252Bytes);

    std::string getString(std::string_view section, std::string_view key, std::string_view def) const;
    long getInt(std::string_view section, std::string_view key) const;
    // False (and nothing changed) for arguments that writeString refuses.
    bool setString(std::string_view section, std::string_view key, std::string_view value);
    // Content changed since loading or the last successful save.
    bool modified() const;
    std::vector<std::string> sectionNames() const;
    std::vector<std::string> sectionLines(std::string_view section) const;

    std::string toBytes() const;                           // Windows-1252, CR LF
    // Through a temporary file and a rename, so a failed write leaves the old file whole.
    bool save(const std::filesystem::path& file) const;    // false on a write error

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

// Writer for many keys of one file: keeps the file in memory and writes it once, with the
// same resulting bytes as the same writeString calls one by one.
class Writer {
public:
    explicit Writer(std::filesystem::path file);
    ~Writer();  // flushes
    Writer(const Writer&) = delete;
    Writer& operator=(const Writer&) = delete;
    bool writeString(std::string_view section, std::string_view key, std::string_view value);
    bool flush();  // false on a write error; nothing is written when nothing changed

private:
    std::filesystem::path file_;
    Document doc_;
    bool unreadable_ = false;  // the file exists but could not be read: never overwrite it
};

}  // namespace profile
