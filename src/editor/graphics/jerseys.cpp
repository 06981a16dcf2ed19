#include "editor/graphics/jerseys.h"

#include "common/jetdb.h"
#include "common/paths.h"
#include "common/progress.h"
#include "editor/foundation/settings.h"
#include "editor/graphics/reszip.h"
#include "foundation/journal.h"

#include <QImage>
#include <QPainter>

#include <cstdio>
#include <system_error>

namespace fs = std::filesystem;

namespace jerseys {

std::optional<Rgb> parseColour(std::string_view text)
{
    int parts[3];
    int n = 0;
    std::size_t i = 0;
    auto skip = [&] {
        while (i < text.size() && (text[i] == ' ' || text[i] == '\t' || text[i] == '"'))
            ++i;
    };
    for (; n < 3; ++n) {
        skip();
        int v = 0, digits = 0;
        while (i < text.size() && text[i] >= '0' && text[i] <= '9' && digits < 4) {
            v = v * 10 + (text[i++] - '0');
            ++digits;
        }
        skip();
        if (digits == 0 || v > 255)
            return std::nullopt;
        parts[n] = v;
        if (n < 2) {
            if (i >= text.size() || text[i] != ',')
                return std::nullopt;
            ++i;
        }
    }
    if (i != text.size())
        return std::nullopt;
    return Rgb{parts[0], parts[1], parts[2]};
}

std::string colourText(const Rgb& c)
{
    char buf[16];
    std::snprintf(buf, sizeof buf, "%3d,%3d,%3d", c.r & 255, c.g & 255, c.b & 255);
    return buf;
}

const char* tableName(int tableIndex) { return tableIndex == 0 ? "vereine_national" : "vereine"; }

const char* colourTable(int satz) { return kSets[satz ? 1 : 0].colourTable; }

std::optional<std::array<Jersey, 3>> loadJerseys(jet::Database& db, int number, int tableIndex)
{
    jet::Recordset rs = db.query(
        std::string("SELECT TRIKOT_ART, AUSWEICH_TRIKOT_ART, TW_TRIKOT_ART, F_TRIKOT_SPIELER, F_AUSW_TRIKOT_SPIELER, "
                    "F_ALTERN_TRIKOT_SPIELER, F_HOSE_SPIELER, F_AUSW_HOSE_SPIELER, F_ALTERN_HOSE_SPIELER, "
                    "F_TRIKOT_WERBUNG, F_HOSE_STREIFEN, F_TRIKOT_TORWART, F_HOSE_TORWART, F_TRIKOT_TRAINER, "
                    "F_HOSE_TRAINER FROM ") +
        tableName(tableIndex) + " WHERE nummer=" + std::to_string(number));
    if (rs.eof())
        return std::nullopt;
    std::array<Jersey, 3> out;
    for (int k = 0; k < 3; ++k) {
        out[k].model = static_cast<int>(rs.field(k).toInt());
        for (int j = 0; j < 4; ++j)
            out[k].colours[j] = parseColour(rs.field(3 + 4 * k + j).toString()).value_or(Rgb{});
    }
    return out;
}

fs::path modelPicture(const std::string& setFolder, int model)
{
    char buf[32];
    std::snprintf(buf, sizeof buf, "trikot_%02d.gif", model);
    // Jersey sets copied from Windows may name their pictures in any letter case.
    return paths::findFile(fs::path(setFolder + buf));
}

fs::path modelPicture(const Settings& settings, int model) { return modelPicture(settings.jerseyFolder(), model); }

std::optional<Colours> modelColours(jet::Database& db, int satz, int model)
{
    jet::Recordset rs = db.query(std::string("SELECT Trikot1,Trikot2, Hose,Streifen FROM ") + colourTable(satz) +
                                 " WHERE nummer=" + std::to_string(model));
    if (rs.eof())
        return std::nullopt;
    Colours c;
    for (int j = 0; j < 4; ++j)
        c[j] = parseColour(rs.field(j).toString()).value_or(Rgb{});
    return c;
}

void settrikotfarbe(jet::Database& db, int number, const std::string& table, int satz)
{
    // The table name goes into the statement as a name: only the two team tables.
    if (table != "vereine" && table != "vereine_national")
        throw jet::Error("Unbekannte Tabelle für Trikotfarben: " + table);
    const std::string c = colourTable(satz);
    const std::string head = "UPDATE " + c + " INNER JOIN " + table + " ON " + c + ".Nummer =" + table;
    const std::string where = " WHERE " + table + ".nummer=" + std::to_string(number);
    jet::Transaction t(db);
    journal::Command journaled(db, "Trikotfarben setzen");
    for (int k : {0, 1, 2}) {
        const auto& col = kColourColumns[k];
        db.execute(head + "." + kModelColumns[k] + " SET " + col[0] + " = [trikot1], " + col[1] + " = [trikot2], " +
                   col[2] + " = [hose], " + col[3] + " = [streifen]" + where);
    }
    t.commit();
}

std::string chooseJerseySet(Settings& settings, int set) { return writeSatz(settings, set); }

CopyResult copyJerseySet(const Settings& settings, ProgressSink& progress)
{
    // Game files copied from Windows may differ in letter case.
    const fs::path source = paths::findFile(settings.jerseyFolder() + "ma.res");
    const fs::path target = paths::findFile(settings.folders[FolderKickorares] + "ma.res");
    std::error_code ec;
    if (!fs::exists(target, ec))
        return CopyResult::NoGame;
    if (fs::equivalent(source, target, ec))
        return CopyResult::Copied;
    progress.status(kCopyStatus);
    try {
        gfx::writeFileReplacing(target, gfx::readBinaryFile(source));
    } catch (...) {
        progress.status("");
        throw;
    }
    progress.status("");
    return CopyResult::Copied;
}

std::vector<Shape> previewShapes(int k)
{
    // A small kit right of the 56-pixel model picture: sleeves and shirt, shorts, socks.
    const int x0 = kPreviewWidth - 60;
    std::vector<Shape> s;
    for (int i = 0; i < 5; ++i)
        s.push_back({"shpstreif", k * 5 + i, x0 + 10 + i * 8, 2, 8, 28, i % 2 == 0 ? 0 : 1});
    s.push_back({"shparm", k * 2 + 0, x0, 2, 10, 14, 1});
    s.push_back({"shparm", k * 2 + 1, x0 + 50, 2, 10, 14, 1});
    s.push_back({"shphose", k * 3 + 0, x0 + 10, 30, 40, 8, 2});
    s.push_back({"shphose", k * 3 + 1, x0 + 10, 38, 18, 8, 2});
    s.push_back({"shphose", k * 3 + 2, x0 + 32, 38, 18, 8, 2});
    s.push_back({"shpstreifh", k * 2 + 0, x0 + 10, 30, 3, 16, 3});
    s.push_back({"shpstreifh", k * 2 + 1, x0 + 47, 30, 3, 16, 3});
    s.push_back({"shpsock", k * 2 + 0, x0 + 12, 48, 12, 11, 0});
    s.push_back({"shpsock", k * 2 + 1, x0 + 36, 48, 12, 11, 0});
    return s;
}

QImage drawPreview(const QImage& picture, const Colours& colours)
{
    QImage out(kPreviewWidth, kPreviewHeight, QImage::Format_ARGB32_Premultiplied);
    out.fill(Qt::transparent);
    QPainter p(&out);
    if (!picture.isNull())
        p.drawImage(QRect(0, (kPreviewHeight - kPictureSize) / 2, kPictureSize, kPictureSize), picture);
    p.setPen(QColor(40, 40, 40));
    for (const Shape& s : previewShapes(0)) {
        const Rgb& c = colours[s.colour];
        p.setBrush(QColor(c.r, c.g, c.b));
        p.drawRect(s.x, s.y, s.width - 1, s.height - 1);
    }
    p.end();
    return out;
}

}  // namespace jerseys
