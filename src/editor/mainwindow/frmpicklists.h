#pragma once
// The one place that holds the country and club pick lists. Windows register their combo boxes
// (or a function) by kind; every tree build refills all of them at once.
#include <QList>
#include <QObject>
#include <QPointer>
#include <QStringList>
#include <functional>

class QComboBox;
namespace dbtree { struct Lists; }

class PickLists : public QObject {
    Q_OBJECT
public:
    enum Kind {
        Countries,        // every country name, and its nation when that differs
        PlayerCountries,  // "TRANSFERMARKT" first, then the countries
        Clubs,            // "club (nation)", with the club number as item data
    };

    explicit PickLists(QObject* parent = nullptr);

    // The combo box is filled now and on every refill; a destroyed box is forgotten.
    void registerCombo(Kind kind, QComboBox* combo);
    // For lists that are not a combo box (the player editor's country list).
    void registerSink(Kind kind, std::function<void(const QStringList&)> sink);

    // Replaces all lists. A combo box keeps its current entry when the new list still has it.
    void fill(const dbtree::Lists& lists);

    const QStringList& countries() const { return countries_; }
    QStringList playerCountries() const;
    const QStringList& clubTexts() const { return clubTexts_; }
    const QList<qlonglong>& clubNumbers() const { return clubNumbers_; }

private:
    void fillCombo(Kind kind, QComboBox* combo) const;
    QStringList entries(Kind kind) const;

    QStringList countries_;
    QStringList clubTexts_;
    QList<qlonglong> clubNumbers_;
    QList<QPair<Kind, QPointer<QComboBox>>> combos_;
    QList<QPair<Kind, std::function<void(const QStringList&)>>> sinks_;
};
