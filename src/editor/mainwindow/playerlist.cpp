#include "mainwindow/playerlist.h"

#include <algorithm>
#include <climits>
#include <cmath>

#include "common/jetdb.h"
#include "common/jetsql.h"
#include "common/collation.h"
#include "foundation/journal.h"

namespace playerlist {

namespace {

// Face code weights of the mouth and the hair (the parts above and at the hair field).
constexpr long long kMouthWeight = 1LL << 20;
constexpr long long kHairWeight = 1LL << 13;

// Largest value of the SMALLINT columns the editor lets the user type into.
constexpr long long kSmallIntMax = 32767;

bool parseWhole(const QString& text, long long lo, long long hi, long long* out) {
    const QString t = text.trimmed();
    if (t.isEmpty()) return false;
    int i = (t[0] == QLatin1Char('-') || t[0] == QLatin1Char('+')) ? 1 : 0;
    if (i == t.size()) return false;
    for (int k = i; k < t.size(); ++k)
        if (t[k] < QLatin1Char('0') || t[k] > QLatin1Char('9')) return false;
    bool ok = false;
    const long long v = t.toLongLong(&ok);
    if (!ok || v < lo || v > hi) return false;
    if (out) *out = v;
    return true;
}

long long wholeOf(const QString& text) {
    long long v = 0;
    parseWhole(text, LLONG_MIN, LLONG_MAX, &v);
    return v;
}

QString numberMessage(const QString& field, long long lo, long long hi) {
    return QStringLiteral("Bitte im Feld \"%1\" eine ganze Zahl von %2 bis %3 eingeben.").arg(field).arg(lo).arg(hi);
}

std::string q(const QString& text) { return jetsql::quote(text.toStdString()); }

}  // namespace

const QStringList& headers() {
    static const QStringList list = {
        QStringLiteral("Nummer"), QStringLiteral("Name"),     QStringLiteral("Vorname"),     QStringLiteral("Stärke"),
        QStringLiteral("Maxstärke"), QStringLiteral("Land"),  QStringLiteral("Größe"),       QStringLiteral("Position"),
        QStringLiteral("Rückenummer"), QStringLiteral("Restspiele")};
    return list;
}

const QStringList& positionNames() {
    static const QStringList list = {QStringLiteral("Tor"), QStringLiteral("Abwehr"), QStringLiteral("Mittelfeld"),
                                     QStringLiteral("Sturm")};
    return list;
}

QString positionName(long long art) {
    if (art >= 0 && art < positionNames().size()) return positionNames()[static_cast<int>(art)];
    return QString::number(art);
}

QString starsText(long long value) {
    // Tenths of a star, rounded half away from zero as the one-decimal format does.
    const long long magnitude = value < 0 ? -value : value;
    const long long tenths = (magnitude + 100) / 200;
    QString text = QString::number(tenths / 10) + QLatin1Char(',') + QString::number(tenths % 10);
    if (value < 0 && tenths != 0) text.prepend(QLatin1Char('-'));
    return text + QStringLiteral(" Sterne");
}

QString starEntry(int index) {
    return QString::number(index / 2) + (index % 2 ? QStringLiteral(".5") : QStringLiteral(".0")) +
           QStringLiteral(" Sterne");
}

int starIndex(const QString& listText) {
    QString number = listText.trimmed();
    const int blank = number.indexOf(QLatin1Char(' '));
    if (blank >= 0) number.truncate(blank);
    number.replace(QLatin1Char(','), QLatin1Char('.'));
    // The leading number only, as the runtime's Val reads it.
    int end = 0;
    if (end < number.size() && (number[end] == QLatin1Char('-') || number[end] == QLatin1Char('+'))) ++end;
    bool dot = false;
    while (end < number.size() && (number[end].isDigit() || (!dot && number[end] == QLatin1Char('.')))) {
        if (number[end] == QLatin1Char('.')) dot = true;
        ++end;
    }
    bool ok = false;
    const double stars = number.left(end).toDouble(&ok);
    if (!ok) return 0;
    const long index = std::lround(stars * 2.0);
    return static_cast<int>(std::clamp(index, 0L, static_cast<long>(kStarEntries - 1)));
}

QString listTextOfEntry(const QString& entry) {
    QString text = entry;
    text.replace(QLatin1Char('.'), QLatin1Char(','));
    return text;
}

std::string listQuery(long long club) {
    return "Select * From spielerinvereine WHERE verein=" + std::to_string(club) + " ORDER BY art,name,vorname";
}

QStringList gridRow(const jet::Recordset& rs) {
    QStringList cells;
    cells.reserve(kColumns);
    const int n = std::min(rs.fieldCount(), kColumns);
    for (int c = 0; c < n; ++c) {
        const jet::Value& v = rs.field(c);
        if (c == ColStaerke || c == ColMaxStaerke)
            cells << starsText(v.toInt());
        else if (c == ColPosition)
            cells << (v.isNull() ? QString() : positionName(v.toInt()));
        else
            cells << QString::fromStdString(v.toString());
    }
    while (cells.size() < kColumns) cells << QString();
    return cells;
}

std::vector<int> sortOrder(const std::vector<QStringList>& rows, int column, bool descending) {
    const int n = static_cast<int>(rows.size());
    const auto cellOf = [&](int r) { return column < rows[r].size() ? rows[r][column] : QString(); };
    const bool textual = column == ColName || column == ColVorname || column == ColLand || column == ColErlernt ||
                         column == ColGesperrt;
    // Keys once per row: numbers (a cell without one sorts first) or folded texts.
    std::vector<double> numbers(static_cast<std::size_t>(n));
    std::vector<std::string> texts(textual ? static_cast<std::size_t>(n) : 0);
    for (int r = 0; r < n; ++r) {
        const QString cell = cellOf(r).trimmed();
        if (textual) {
            texts[r] = cell.toStdString();
            continue;
        }
        bool ok = false;
        double v = 0;
        if (column == ColPosition) {
            v = positionNames().indexOf(cell);
            ok = v >= 0;
            if (!ok) v = cell.toDouble(&ok);
        } else {
            QString number = cell.section(QLatin1Char(' '), 0, 0);
            number.replace(QLatin1Char(','), QLatin1Char('.'));
            v = number.toDouble(&ok);
        }
        numbers[r] = ok ? v : -1e300;
    }
    std::vector<int> order(static_cast<std::size_t>(n));
    for (int r = 0; r < n; ++r) order[r] = r;
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
        int c = 0;
        if (textual) c = collation::compare(texts[a], texts[b]);
        else c = numbers[a] < numbers[b] ? -1 : numbers[a] > numbers[b] ? 1 : 0;
        return descending ? c > 0 : c < 0;
    });
    return order;
}

int skinColour(long long faceCode) { return static_cast<int>(((faceCode % 4) + 4) % 4); }

int hairStyle(long long faceCode) {
    if (faceCode < 0) return 0;
    return static_cast<int>((faceCode % kMouthWeight) / kHairWeight);
}

QString checkInput(const PlayerEdit& edit) {
    if (!parseWhole(edit.nummer, 0, LLONG_MAX, nullptr))
        return QStringLiteral("Bitte im Feld \"Spielernummer\" eine ganze Zahl eingeben.");
    if (!parseWhole(edit.groesse, 0, kSmallIntMax, nullptr)) return numberMessage(QStringLiteral("Größe"), 0, kSmallIntMax);
    if (!parseWhole(edit.einsaetze, 0, kSmallIntMax, nullptr))
        return numberMessage(QStringLiteral("Resteinsätze"), 0, kSmallIntMax);
    if (!parseWhole(edit.rueckennummer, 0, kSmallIntMax, nullptr))
        return numberMessage(QStringLiteral("Rückennummer"), 0, kSmallIntMax);
    if (edit.staerkeIndex < 0 || edit.staerkeIndex >= kStarEntries)
        return QStringLiteral("Bitte eine Stärke auswählen.");
    if (edit.maxStaerkeIndex < 0 || edit.maxStaerkeIndex >= kStarEntries)
        return QStringLiteral("Bitte eine Maxstärke auswählen.");
    if (edit.art < 0 || edit.art >= positionNames().size()) return QStringLiteral("Bitte eine Position auswählen.");
    return {};
}

std::string updateStatement(const PlayerEdit& e, int hautfarbe, int haarfarbe) {
    const std::string sets[] = {
        "NAME=" + q(e.name),
        "VORNAME=" + q(e.vorname),
        "STÄRKE=" + std::to_string(e.staerkeIndex * 1000),
        "MAX_STÄRKE=" + std::to_string(e.maxStaerkeIndex * 1000),
        "NATION=" + q(e.nation),
        "GROESSE=" + std::to_string(wholeOf(e.groesse)),
        "ART=" + std::to_string(e.art),
        "REST_EINSÄTZE=" + std::to_string(wholeOf(e.einsaetze)),
        "RUECKENNUMMER=" + std::to_string(wholeOf(e.rueckennummer)),
        "GESICHT=" + std::to_string(e.gesicht),
        "HAUTFARBE=" + std::to_string(hautfarbe),
        "HAARFARBE=" + std::to_string(haarfarbe),
        "ERLERNT=" + q(e.erlernt),
        "GESPERRT=" + q(e.gesperrt),
    };
    std::string sql = "Update spieler  SET ";
    bool first = true;
    for (const std::string& s : sets) {
        if (!first) sql += ", ";
        sql += s;
        first = false;
    }
    return sql + " WHERE NUMMER=" + std::to_string(wholeOf(e.nummer));
}

SavedColours savePlayer(jet::Database& db, const PlayerEdit& edit) {
    jet::Transaction transaction(db);
    journal::Command journaled(db, "Spieler speichern");
    // A face without a row in the colour table keeps the colours it has.
    SavedColours colours{edit.hautfarbe, edit.haarfarbe};
    {
        jet::Recordset rs = db.query("SELECT Hautfarbe, Haarfarbe FROM e_gesichtsfarbe WHERE Haare=" +
                                     std::to_string(edit.haare) + " AND farbe=" + std::to_string(skinColour(edit.gesicht)));
        if (!rs.eof()) {
            colours.hautfarbe = static_cast<int>(rs.field(0).toInt());
            colours.haarfarbe = static_cast<int>(rs.field(1).toInt());
        }
    }
    if (db.execute(updateStatement(edit, colours.hautfarbe, colours.haarfarbe)) != 1)
        throw jet::Error("Der Spieler mit der Nummer " + std::to_string(wholeOf(edit.nummer)) +
                         " wurde in der Datenbank nicht gefunden.");
    transaction.commit();
    return colours;
}

}  // namespace playerlist
