#include "landneu.h"

#include "common/jetdb.h"
#include "common/jetsql.h"

namespace cfg {

namespace {

std::string replaceAll(std::string s, std::string_view from, std::string_view to)
{
    for (std::size_t pos = s.find(from); pos != std::string::npos; pos = s.find(from, pos + to.size()))
        s.replace(pos, from.size(), to);
    return s;
}

}  // namespace

std::string landneu(jet::Database& db, std::string_view country)
{
    const std::string name(country);
    const std::string q = jetsql::quote(name);
    const std::string withSz = replaceAll(name, "ss", "ß");
    const std::string withSs = replaceAll(name, "ß", "ss");
    jet::Recordset rs = db.query("SELECT NAME From vereine_national WHERE NAME=Right(" + q + ",Len([name])) OR NAME=Left$(" +
                                 q + ",Len([name])) OR NAME=" + jetsql::quote(withSz) + " OR NAME=" +
                                 jetsql::quote(withSs) + ";");
    for (; !rs.eof(); rs.moveNext())
        if (rs.field(0).toString() == name)
            return name;

    std::string continent = "Atlantis";
    {
        jet::Recordset k = db.query("Select kontinent From e_landkontinent WHERE land=" + q);
        if (!k.eof() && !k.field(0).isNull())
            continent = k.field(0).toString();
    }
    long long number = 1;
    {
        jet::Recordset m = db.query("Select max(maxnr) From maxteamnr");
        if (!m.eof() && !m.field(0).isNull())
            number = m.field(0).toInt() + 1;
    }

    const std::pair<const char*, std::string> values[] = {
        {"NUMMER", std::to_string(number)},
        {"Name", name},
        {"KURZNAME", name},
        {"GRAFIK_NR", "292"},
        {"STAERKE", "0"},
        {"STARTPLATZ", "0"},
        {"STADION_NAME", name},
        {"STADT", name},
        {"KLIMA", "99,121,700"},
        {"NATION", name},
        {"KONTINENT", continent},
        {"STADION_SITZPL", "8000"},
        {"STADION_STEHPL", "3000"},
        {"TRIKOT_ART", "16"},
        {"TW_TRIKOT_ART", "62"},
        {"AUSWEICH_TRIKOT_ART", "58"},
        {"AUSWEICH_TW_TRIKOT_ART", "0"},
        {"F_TRIKOT_SPIELER", "144, 32, 56"},
        {"F_AUSW_TRIKOT_SPIELER", "120,  8, 24"},
        {"F_ALTERN_TRIKOT_SPIELER", " 48, 40,120"},
        {"F_HOSE_SPIELER", "  0,  0,  0"},
        {"F_AUSW_HOSE_SPIELER", "  8, 64,200"},
        {"F_ALTERN_HOSE_SPIELER", "  0, 40,160"},
        {"F_TRIKOT_WERBUNG", " 24, 24, 24"},
        {"F_HOSE_STREIFEN", "  0,  0,  0"},
        {"F_TRIKOT_TORWART", "240,184, 32"},
        {"F_HOSE_TORWART", "200,144,  8"},
        {"F_TRIKOT_TRAINER", " 24, 24, 24"},
        {"F_HOSE_TRAINER", "  0,  0,  0"},
    };
    std::string cols, vals;
    for (const auto& [col, val] : values) {
        if (!cols.empty()) {
            cols += ",";
            vals += ",";
        }
        cols += col;
        vals += jetsql::quote(val);
    }
    db.execute("INSERT INTO vereine_national (" + cols + ") VALUES ( " + vals + ")");
    return name;
}

}  // namespace cfg
