#include "mainwindow/talents.h"

#include <QStringList>

#include "common/jetdb.h"

namespace talents {

std::vector<Talent> loadCatalogue(jet::Database& db) {
    std::vector<Talent> list;
    jet::Recordset rs = db.query("SELECT * FROM e_attribute ORDER BY id");
    for (; !rs.eof() && static_cast<int>(list.size()) < kRows; rs.moveNext()) {
        Talent t;
        const int fields = rs.fieldCount();
        if (fields > 1) t.text = QString::fromStdString(rs.field(1).toString());
        if (fields > 2) t.name = QString::fromStdString(rs.field(2).toString());
        for (int k = 0; k < kReferences && 3 + k < fields; ++k) {
            const long long ref = rs.field(3 + k).toInt();
            t.references[k] = ref > 0 ? static_cast<int>(ref) : 0;
        }
        list.push_back(t);
    }
    return list;
}

QString iconFileName(int index) {
    return QStringLiteral("attribute_hell_%1.gif").arg(index, 2, 10, QLatin1Char('0'));
}

bool rowVisible(int row, int art) {
    if (row >= kFirstSharedRow && row < kFirstGoalkeeperRow) return true;
    const bool goalkeeper = art == 0;
    return goalkeeper ? row >= kFirstGoalkeeperRow : row < kFirstSharedRow;
}

bool visibilityMatches(int art, bool firstRowShown, bool lastRowShown) {
    if (art == 0) return !firstRowShown;
    return firstRowShown && !lastRowShown;
}

States::States(int rows) : values_(static_cast<std::size_t>(rows > 0 ? rows : 0), 0) {}

void States::clear() {
    std::fill(values_.begin(), values_.end(), 0);
    keptLearned_.clear();
    keptBlocked_.clear();
}

namespace {

template <typename F>
void forEachIndex(const QString& list, F f) {
    if (list.trimmed().isEmpty()) return;
    for (const QString& part : list.split(QLatin1Char(','))) {
        bool ok = false;
        const int index = part.trimmed().toInt(&ok);
        if (ok && index >= 0) f(index);
    }
}

void keep(std::vector<int>& list, int index) {
    for (int v : list)
        if (v == index) return;
    list.push_back(index);
}

void drop(std::vector<int>& list, int index) { std::erase(list, index); }

}  // namespace

void States::load(const QString& learned, const QString& blocked) {
    clear();
    forEachIndex(learned, [&](int index) {
        if (index < rows())
            set(index + 1, 1);
        else
            keep(keptLearned_, index);
    });
    forEachIndex(blocked, [&](int index) {
        if (index < rows()) {
            set(index + 1, -1);
        } else {
            drop(keptLearned_, index);
            keep(keptBlocked_, index);
        }
    });
}

State States::state(int row) const {
    const int v = value(row);
    return v > 0 ? State::Learned : v < 0 ? State::Blocked : State::None;
}

int States::value(int row) const {
    if (row < 1 || row > rows()) return 0;
    return values_[static_cast<std::size_t>(row - 1)];
}

void States::set(int row, int kind) {
    if (row < 1 || row > rows()) return;
    values_[static_cast<std::size_t>(row - 1)] = (kind > 0 ? 1 : kind < 0 ? -1 : 0) * row;
}

State States::cycle(int row) {
    switch (state(row)) {
        case State::None: set(row, 1); break;
        case State::Learned: set(row, -1); break;
        case State::Blocked: set(row, 0); break;
    }
    return state(row);
}

void States::talentsum(QString& learned, QString& blocked) const {
    learned.clear();
    blocked.clear();
    auto append = [](QString& list, int index) {
        if (!list.isEmpty()) list += QLatin1Char(',');
        list += QString::number(index);
    };
    for (int v : values_) {
        if (v > 0) append(learned, v - 1);
        if (v < 0) append(blocked, -v - 1);
    }
    for (int index : keptLearned_) append(learned, index);
    for (int index : keptBlocked_) append(blocked, index);
}

}  // namespace talents
