#include "editor/tools/playerpictures.h"

#include "common/jetdb.h"
#include "common/jetsql.h"
#include "common/paths.h"
#include "mainwindow/playerlist.h"

#include <QString>
#include <algorithm>
#include <cstdlib>
#include <unistd.h>

namespace fs = std::filesystem;

namespace playerpictures {

namespace {

// File names from another system may carry umlauts decomposed; the database holds them composed.
QString decoded(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())).normalized(QString::NormalizationForm_C);
}

std::string utf8(const QString& s) { return s.toUtf8().toStdString(); }

// The order of the file list: letter case and accents ignored, so "ölmann" sorts with the o.
QString sortKey(std::string_view name)
{
    QString key;
    for (QChar c : decoded(name).normalized(QString::NormalizationForm_D))
        if (c.category() != QChar::Mark_NonSpacing)
            key += c.toCaseFolded();
    return key;
}

}  // namespace

bool offered(std::string_view fileName)
{
    const QString name = decoded(fileName);
    if (name.size() < 5 || !name.endsWith(QStringLiteral(".jpg"), Qt::CaseInsensitive))
        return false;
    const QChar first = name.front().toLower();
    return (first >= QLatin1Char('a') && first <= QLatin1Char('z')) || first == QChar(0xE4) || first == QChar(0xF6) ||
           first == QChar(0xFC);
}

std::string checkFolder(const fs::path& folder, bool writable)
{
    std::error_code ec;
    if (!fs::is_directory(folder, ec))
        return "Den Ordner für Spielerbilder \u201E" + folder.string() + "\u201C gibt es nicht.";
    if (!writable)
        return {};
    // A trial file tells more than the permission bits (read-only mounts, the super-user).
    std::string probe = (folder / ".kickora_XXXXXX").string();
    const int fd = ::mkstemp(probe.data());
    if (fd < 0)
        return "In den Ordner für Spielerbilder \u201E" + folder.string() +
               "\u201C kann nicht geschrieben werden. Es wurde nichts umbenannt.";
    ::close(fd);
    ::unlink(probe.c_str());
    return {};
}

std::vector<std::string> pictureFiles(const fs::path& folder)
{
    std::vector<std::string> files;
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        std::error_code sec;
        if (it->symlink_status(sec).type() != fs::file_type::regular)
            continue;
        std::string name = it->path().filename().string();
        if (offered(name))
            files.push_back(std::move(name));
    }
    std::sort(files.begin(), files.end(), [](const std::string& a, const std::string& b) {
        const int c = sortKey(a).compare(sortKey(b));
        return c != 0 ? c < 0 : a < b;
    });
    return files;
}

NameKey parseName(std::string_view fileName)
{
    const QString name = decoded(fileName);
    NameKey key;
    const qsizetype underscore = name.indexOf(QLatin1Char('_'));
    if (underscore >= 0) {
        key.name = utf8(name.left(underscore));
        const QString rest = name.mid(underscore + 1);
        // One character, not one byte: "Örjan" gives "Ö.".
        const qsizetype len = !rest.isEmpty() && rest.front().isHighSurrogate() ? 2 : 1;
        key.vorname = utf8(rest.left(len)) + ".";
    } else {
        const qsizetype point = name.indexOf(QLatin1Char('.'));
        key.name = utf8(point < 0 ? name : name.left(point));
    }
    return key;
}

std::vector<Candidate> findPlayers(jet::Database& db, const NameKey& key)
{
    std::string sql = "Select * From spieler Where Name=" + jetsql::quote(key.name);
    if (key.vorname)
        sql += " And Vorname=" + jetsql::quote(*key.vorname);
    std::vector<Candidate> found;
    for (jet::Recordset rs = db.query(sql); !rs.eof(); rs.moveNext())
        found.push_back({rs.field("NUMMER").toInt(), rs.field("NAME").toString(), rs.field("VORNAME").toString(),
                         rs.field("NATION").toString(), rs.field("STÄRKE").toInt()});
    return found;
}

std::vector<std::vector<Candidate>> findPlayersOfAll(jet::Database& db, const std::vector<NameKey>& keys)
{
    std::vector<std::vector<Candidate>> found(keys.size());
    if (keys.empty())
        return found;
    // The keys go into a temporary table (also on a database opened read-only) and are joined
    // with the players; the join compares with the players' columns' collation, as the query
    // of one key does.
    db.executeNative("DROP TABLE IF EXISTS temp.kickora_bildnamen; CREATE TEMP TABLE kickora_bildnamen "
                     "(k INTEGER PRIMARY KEY, name TEXT COLLATE NOCASE, vorname TEXT COLLATE NOCASE)");
    try {
        {
            jet::Transaction t(db);
            for (std::size_t i = 0; i < keys.size(); ++i)
                db.executeNative("INSERT INTO temp.kickora_bildnamen VALUES (" + std::to_string(i) + ", " +
                                 jetsql::quote(keys[i].name, '\'') + ", " +
                                 (keys[i].vorname ? jetsql::quote(*keys[i].vorname, '\'') : std::string("NULL")) + ")");
            t.commit();
        }
        for (jet::Recordset rs = db.query(
                 "SELECT b.k, s.NUMMER, s.NAME, s.VORNAME, s.NATION, s.[STÄRKE] FROM kickora_bildnamen AS b "
                 "INNER JOIN spieler AS s ON s.NAME = b.name WHERE b.vorname Is Null OR s.VORNAME = b.vorname "
                 "ORDER BY b.k, s.NUMMER");
             !rs.eof(); rs.moveNext())
            found[static_cast<std::size_t>(rs.field(0).toInt())].push_back(
                {rs.field(1).toInt(), rs.field(2).toString(), rs.field(3).toString(), rs.field(4).toString(),
                 rs.field(5).toInt()});
    } catch (...) {
        db.executeNative("DROP TABLE IF EXISTS temp.kickora_bildnamen");
        throw;
    }
    db.executeNative("DROP TABLE IF EXISTS temp.kickora_bildnamen");
    return found;
}

std::string choiceText(const Candidate& c)
{
    // starsText ends in " Sterne" already.
    return c.name + " " + c.vorname + " (" + c.nation + "; " + utf8(playerlist::starsText(c.staerke)) + ")";
}

fs::path targetFile(const fs::path& folder, long long number)
{
    const fs::path exact = folder / (std::to_string(number) + ".jpg");
    return paths::findFile(exact);
}

std::string renamePicture(const fs::path& folder, const std::string& fileName, long long number, std::string* newName)
{
    if (fileName.empty() || fileName.find('/') != std::string::npos)
        return "\u201E" + fileName + "\u201C ist kein Dateiname im Ordner für Spielerbilder.";
    const fs::path source = folder / fileName;
    const fs::path target = targetFile(folder, number);
    std::error_code ec;
    // rename() puts the new file in place of an old one at once; nothing is deleted first.
    fs::rename(source, target, ec);
    if (ec)
        return "Das Bild \u201E" + fileName + "\u201C konnte nicht in \u201E" + target.filename().string() +
               "\u201C umbenannt werden. Es bleibt unter seinem Namen.";
    if (newName)
        *newName = target.filename().string();
    return {};
}

std::vector<Outcome> renameAll(jet::Database& db, const fs::path& folder, bool dryRun,
                               const std::function<void(const Outcome&)>& report)
{
    std::vector<std::string> files = pictureFiles(folder);
    std::reverse(files.begin(), files.end());  // last file first, as the window walks
    std::vector<NameKey> keys;
    for (const std::string& file : files)
        keys.push_back(parseName(file));
    std::vector<std::vector<Candidate>> players = findPlayersOfAll(db, keys);
    std::vector<Outcome> outcomes;
    for (std::size_t i = 0; i < files.size(); ++i) {
        Outcome o;
        o.file = files[i];
        o.players = std::move(players[i]);
        if (o.players.empty())
            continue;
        if (o.players.size() == 1) {
            if (dryRun)
                o.newName = targetFile(folder, o.players.front().number).filename().string();
            else
                o.error = renamePicture(folder, o.file, o.players.front().number, &o.newName);
        }
        if (report)
            report(o);
        outcomes.push_back(std::move(o));
    }
    return outcomes;
}

}  // namespace playerpictures
