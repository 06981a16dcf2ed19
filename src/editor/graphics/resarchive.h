#pragma once
// The game's resource archives (RESF): a head with the member count and the directory
// offset, the members' .gfp files one after the other (in type-16 archives each behind its
// 32-bit length), a directory of (type, offset) pairs and a table of 256-byte names.
#include "editor/graphics/reszip.h"

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

namespace gfx {

inline constexpr std::uint32_t kCrestType = 14;
inline constexpr std::uint32_t kLengthPrefixedType = 16;  // members carry a length field
inline constexpr std::size_t kNameBytes = 256;

// What an archive may expand to. The game's crests and jerseys are well below 128 × 128
// pixels; these bounds leave them ample room and keep a small archive of huge or repeated
// members from filling the disk and the memory.
inline constexpr std::uint64_t kMaxMemberPixels = 512 * 512;
inline constexpr std::uint64_t kMaxExpandedBytes = 256ull << 20;

struct ResMember {
    std::uint32_t type = 0;
    std::uint32_t offset = 0;  // type 16: of the length field, else of the .gfp data
    std::string name;          // UTF-8; cut at the first NUL of the stored name
};

// First four bytes are "RESF". A missing or short file is no archive.
bool isArchive(const std::filesystem::path& file);

// Reading side. open() reads head and directory and checks that they fit the file: a
// count whose directory and names cannot lie inside the file, or a directory offset past
// the end, throws Error before anything is allocated.
class ResArchive {
public:
    static ResArchive open(const std::filesystem::path& file);
    // The same on an archive held in memory; name stands for the file in messages.
    static ResArchive fromBytes(Bytes bytes, const std::string& name);

    std::uint32_t directoryOffset() const { return directoryOffset_; }
    std::uint64_t fileSize() const { return size_; }
    const std::vector<ResMember>& members() const { return members_; }

    // The member's complete .gfp file, byte for byte. Throws Error naming the member when
    // its offset, headers or lengths do not fit the file.
    Bytes memberGfp(std::size_t index);
    // The member's .gfp headers, checked as memberGfp checks them, without reading the pixels.
    GfpHeaders memberHeaders(std::size_t index);
    // Length of the member's .gfp file, checked the same way.
    std::uint64_t memberSize(std::size_t index) { return locate(index).size; }
    // Writes folder / (name + ".gfp"), creating the folder; returns the member name. A name
    // that is not a plain file name is refused with Error.
    std::string extract(std::size_t index, const std::filesystem::path& folder);

    ResArchive(ResArchive&&) = default;
    ResArchive& operator=(ResArchive&&) = default;

private:
    ResArchive() = default;
    struct Span {
        std::uint64_t start, size;
        GfpHeaders headers;
    };
    Span locate(std::size_t index);
    void readDirectory(const std::string& name);
    void readAt(std::uint64_t offset, void* dst, std::size_t n);
    std::string describe(std::size_t index) const;

    static constexpr std::uint64_t kWholeFileLimit = 64u << 20;
    std::filesystem::path path_;
    std::ifstream in_;
    Bytes whole_;  // the file, when small enough to hold
    std::uint64_t size_ = 0;
    std::uint32_t directoryOffset_ = 0;
    std::vector<ResMember> members_;
};

// Throws Error when a picture of these headers is larger than kMaxMemberPixels.
void checkMemberSize(const GfpHeaders& headers);

// A name that may be used as a file name inside a folder: not empty, no path separator,
// not "." or "..".
bool isPlainFileName(const std::string& name);

// Writing side: members are added one by one and streamed into a temporary file beside the
// target; finish() writes directory and names and renames it over the target. Until then
// (and when anything fails) an existing target stays as it was; an unfinished writer
// removes its temporary file.
class ResArchiveWriter {
public:
    ResArchiveWriter(const std::filesystem::path& target, std::uint32_t type);
    ~ResArchiveWriter();
    ResArchiveWriter(const ResArchiveWriter&) = delete;
    ResArchiveWriter& operator=(const ResArchiveWriter&) = delete;

    // name: UTF-8, stored in Windows-1252; at most 256 bytes. Blanks become NUL bytes in the
    // name table, so a name reads back cut at its first blank.
    void add(const std::string& name, const std::uint8_t* gfp, std::size_t size);
    void add(const std::string& name, const Bytes& gfp) { add(name, gfp.data(), gfp.size()); }
    void finish();
    std::size_t count() const { return entries_.size(); }

private:
    struct Entry {
        std::string name;  // Windows-1252 bytes
        std::uint32_t offset;
    };
    void write(const void* data, std::size_t n);

    std::filesystem::path target_;
    std::filesystem::path temp_;
    std::ofstream out_;
    std::uint32_t type_;
    std::uint64_t position_ = 0;
    std::vector<Entry> entries_;
    bool finished_ = false;
};

}  // namespace gfx
