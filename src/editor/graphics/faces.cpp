#include "editor/graphics/faces.h"

#include "common/jetdb.h"
#include "common/progress.h"
#include "foundation/journal.h"

#include <algorithm>
#include <cctype>
#include <system_error>

namespace fs = std::filesystem;

namespace faces {

Face decode(std::int64_t code)
{
    Face f;
    f.skin = static_cast<int>(((code % 4) + 4) % 4);
    std::int64_t rest = code;
    for (int k = 0; k < kParts; ++k) {
        f.parts[k] = static_cast<int>(std::min<std::int64_t>(rest / kWeights[k], 1 << 30));
        rest %= kWeights[k];
    }
    return f;
}

std::int64_t encode(const Face& face)
{
    std::int64_t code = 0;
    for (int k = 0; k < kParts - 1; ++k)
        code += face.parts[k] * kWeights[k];
    code += face.skin == kBlack ? 1 : face.parts[kParts - 1] * kWeights[kParts - 1];
    return code;
}

namespace {

std::string lower(std::string s)
{
    for (char& c : s)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

bool endsWith(const std::string& s, const std::string& tail)
{
    return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

}  // namespace

FaceLibrary::FaceLibrary(std::string folder) : folder_(std::move(folder))
{
    std::error_code ec;
    for (fs::directory_iterator it(fs::path(folder_), ec), end; !ec && it != end; it.increment(ec)) {
        const std::string actual = it->path().filename().string();
        const std::string name = lower(actual);
        if (name.rfind("sp_gesicht_", 0) != 0 || !endsWith(name, ".gif"))
            continue;
        for (int s = 0; s < kSkins; ++s) {
            const std::string skinPrefix = std::string("sp_gesicht_") + kSkinNames[s] + "_";
            if (name.rfind(skinPrefix, 0) != 0)
                continue;
            if (name == skinPrefix + "grund.gif")
                background_[s] = actual;
            for (int p = 0; p < kParts; ++p) {
                const std::string prefix = skinPrefix + kPartNames[p] + "_";
                if (name.rfind(prefix, 0) != 0)
                    continue;
                ++counts_[s][p];
                const std::string digits = name.substr(prefix.size(), name.size() - prefix.size() - 4);
                if (digits.empty() || digits.size() > 6 ||
                    !std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; }))
                    continue;
                const int number = std::stoi(digits);
                if (number < 1 || std::to_string(number) != digits)
                    continue;
                auto& list = names_[s][p];
                if (list.size() < static_cast<std::size_t>(number))
                    list.resize(number);
                list[number - 1] = actual;
            }
        }
    }
}

fs::path FaceLibrary::backgroundFile(int skin) const
{
    if (skin < 0 || skin >= kSkins)
        return {};
    const std::string& found = background_[skin];
    return fs::path(folder_ + (found.empty() ? std::string("sp_gesicht_") + kSkinNames[skin] + "_grund.gif" : found));
}

fs::path FaceLibrary::partFile(int skin, int part, int index) const
{
    if (skin < 0 || skin >= kSkins || part < 0 || part >= kParts || index < 0)
        return {};
    if (exists(skin, part, index))
        return fs::path(folder_ + names_[skin][part][index]);
    return fs::path(folder_ + "sp_gesicht_" + kSkinNames[skin] + "_" + kPartNames[part] + "_" +
                    std::to_string(index + 1) + ".gif");
}

bool FaceLibrary::exists(int skin, int part, int index) const
{
    if (skin < 0 || skin >= kSkins || part < 0 || part >= kParts || index < 0)
        return false;
    const auto& list = names_[skin][part];
    return static_cast<std::size_t>(index) < list.size() && !list[index].empty();
}

int FaceLibrary::count(int skin, int part) const
{
    if (skin < 0 || skin >= kSkins || part < 0 || part >= kParts)
        return 0;
    return counts_[skin][part];
}

int FaceLibrary::nearestExisting(int skin, int part, int index) const
{
    if (skin < 0 || skin >= kSkins || part < 0 || part >= kParts)
        return 0;
    const auto& list = names_[skin][part];
    int i = std::min<int>(index, static_cast<int>(list.size()) - 1);
    while (i > 0 && list[i].empty())
        --i;
    return std::max(i, 0);
}

std::optional<std::int64_t> FaceLibrary::fit(std::int64_t code) const
{
    if (code < 0)
        return std::nullopt;
    const Face f = decode(code);
    if (f.skin >= kSkins)
        return std::nullopt;
    Face out;
    out.skin = f.skin;
    for (int k = 0; k < kParts; ++k)
        out.parts[k] = nearestExisting(f.skin, k, f.parts[k]);
    return encode(out);
}

FaceView showgesicht(const FaceLibrary& lib, std::int64_t code)
{
    FaceView v;
    if (code < 0)
        return v;
    const Face f = decode(code);
    if (f.skin >= kSkins)
        return v;
    v.valid = true;
    v.skin = f.skin;
    v.background = lib.backgroundFile(f.skin);
    for (int k = 0; k < kParts; ++k) {
        v.indices[k] = lib.nearestExisting(f.skin, k, f.parts[k]);
        if (lib.exists(f.skin, k, v.indices[k]))
            v.parts[k] = lib.partFile(f.skin, k, v.indices[k]);
    }
    return v;
}

CheckResult checkFaces(jet::Database& db, const FaceLibrary& lib, ProgressSink& progress)
{
    CheckResult r;
    progress.status(kCheckStatus);
    jet::Recordset rs = db.query("SELECT gesicht,nummer FROM spieler ORDER BY nummer ASC");
    const long total = rs.recordCount();
    jet::Transaction t(db);
    journal::Command journaled(db, "Spielergesichter überprüfen");
    int last = -1;
    for (; !rs.eof(); rs.moveNext()) {
        ++r.players;
        const std::int64_t code = rs.field(0).toInt();
        std::optional<std::int64_t> fitted = lib.fit(code);
        if (!fitted) {
            ++r.unfittable;
        } else if (*fitted != code) {
            db.execute("UPDATE spieler SET gesicht=" + std::to_string(*fitted) +
                       " WHERE nummer=" + std::to_string(rs.field(1).toInt()));
            ++r.corrected;
        }
        const int p = static_cast<int>(r.players * 100L / std::max(1L, total));
        if (p != last)
            progress.percent(last = p);
    }
    t.commit();
    progress.status("");
    r.message = r.corrected > 0 ? std::to_string(r.corrected) + " Gesichter korrigiert!"
                                : std::string("Alle Gesichter in Ordnung!");
    return r;
}

void FaceDialogModel::updateRanges()
{
    for (int k = 0; k < kParts; ++k)
        maxima_[k] = std::max(0, lib_.count(skin_, k) - 1);
}

void FaceDialogModel::open(int skin, const std::array<int, kParts>& indices)
{
    skin_ = skin == kBlack ? kBlack : kWhite;
    updateRanges();
    for (int k = 0; k < kParts; ++k)
        values_[k] = std::clamp(indices[k], 0, maxima_[k]);
}

void FaceDialogModel::setSkin(int skin)
{
    skin_ = skin == kBlack ? kBlack : kWhite;
    updateRanges();
    values_.fill(0);
}

void FaceDialogModel::setValue(int part, int value)
{
    if (part >= 0 && part < kParts)
        values_[part] = std::clamp(value, 0, maxima_[part]);
}

std::int64_t FaceDialogModel::code() const
{
    Face f;
    f.skin = skin_;
    f.parts = values_;
    return encode(f);
}

}  // namespace faces
