#include "mainwindow/frmpicklists.h"

#include <QComboBox>
#include <QSignalBlocker>

#include "mainwindow/dbtree.h"

PickLists::PickLists(QObject* parent) : QObject(parent) {}

void PickLists::registerCombo(Kind kind, QComboBox* combo) {
    combos_.append({kind, QPointer<QComboBox>(combo)});
    fillCombo(kind, combo);
}

void PickLists::registerSink(Kind kind, std::function<void(const QStringList&)> sink) {
    sink(entries(kind));
    sinks_.append({kind, std::move(sink)});
}

QStringList PickLists::playerCountries() const {
    QStringList list{QStringLiteral("TRANSFERMARKT")};
    list += countries_;
    return list;
}

QStringList PickLists::entries(Kind kind) const {
    switch (kind) {
        case Countries: return countries_;
        case PlayerCountries: return playerCountries();
        case Clubs: return clubTexts_;
    }
    return {};
}

void PickLists::fillCombo(Kind kind, QComboBox* combo) const {
    if (!combo) return;
    const QSignalBlocker block(combo);
    const QString current = combo->currentText();
    const bool hadSelection = combo->currentIndex() >= 0;
    combo->clear();
    if (kind == Clubs) {
        for (int i = 0; i < clubTexts_.size(); ++i) combo->addItem(clubTexts_[i], clubNumbers_[i]);
    } else {
        combo->addItems(entries(kind));
    }
    combo->setCurrentIndex(hadSelection ? combo->findText(current, Qt::MatchFixedString | Qt::MatchCaseSensitive) : -1);
}

void PickLists::fill(const dbtree::Lists& lists) {
    countries_.clear();
    for (const std::string& c : lists.countries) countries_.append(QString::fromStdString(c));
    clubTexts_.clear();
    clubNumbers_.clear();
    for (const dbtree::ClubEntry& c : lists.clubs) {
        clubTexts_.append(QString::fromStdString(c.text));
        clubNumbers_.append(c.number);
    }
    for (auto it = combos_.begin(); it != combos_.end();) {
        if (!it->second) {
            it = combos_.erase(it);
            continue;
        }
        fillCombo(it->first, it->second);
        ++it;
    }
    for (const auto& [kind, sink] : sinks_) sink(entries(kind));
}
