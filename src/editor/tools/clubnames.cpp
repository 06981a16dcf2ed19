#include "editor/tools/clubnames.h"

#include "common/jetdb.h"
#include "common/jetsql.h"
#include "common/progress.h"
#include "foundation/journal.h"

namespace clubnames {

std::vector<Club> longNames(jet::Database& db, ProgressSink& progress)
{
    std::vector<Club> clubs;
    jet::Recordset rs = db.query("SELECT name,nummer From vereine WHERE len(name)>" + std::to_string(kNameLimit) +
                                 " ORDER BY name");
    const long total = rs.recordCount();
    for (; !rs.eof(); rs.moveNext()) {
        clubs.push_back({rs.field(1).toInt(), rs.field(0).toString()});
        progress.percent(static_cast<int>(clubs.size() * 100 / static_cast<std::size_t>(total)));
    }
    return clubs;
}

std::string proposal(std::string_view name, int rule)
{
    std::vector<std::string_view> words;
    for (std::size_t start = 0;;) {
        const std::size_t blank = name.find(' ', start);
        words.push_back(name.substr(start, blank == std::string_view::npos ? std::string_view::npos : blank - start));
        if (blank == std::string_view::npos)
            break;
        start = blank + 1;
    }
    std::size_t from = 0, to = words.size();
    if (words.size() >= 3) {
        if (rule == RuleWithoutFirst)
            from = 1;
        else if (rule == RuleWithoutLast)
            to = words.size() - 1;
    }
    std::string out;
    for (std::size_t i = from; i < to; ++i) {
        if (i > from)
            out += ' ';
        out += words[i];
    }
    return out;
}

int length(std::string_view name)
{
    int n = 0;
    for (unsigned char c : name)
        if ((c & 0xC0) != 0x80)
            ++n;
    return n;
}

void rename(jet::Database& db, long long club, std::string_view name)
{
    journal::Command journaled(db, "Vereinsname ändern");
    db.execute("UPDATE vereine SET name=" + jetsql::quote(name) + " WHERE nummer=" + std::to_string(club));
}

}  // namespace clubnames
