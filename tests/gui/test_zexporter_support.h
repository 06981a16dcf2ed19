#pragma once
// Shared pieces of the zexporter window tests: a program folder holding a demo source, tree
// nodes by key, menu captions as the user reads them.
#include <QAction>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>
#include <QtTest>
#include <filesystem>
#include <string>

#include "demo/zentordemo.h"

namespace zgui {

// A program folder with the demo source as zentor4.mdb (or empty).
class SourceFolder {
public:
    explicit SourceFolder(bool withSource = true) {
        if (withSource) demo::writeZentorDatabase(path() / "zentor4.mdb", demo::Options{1, 7});
    }
    std::filesystem::path path() const { return std::filesystem::path(dir_.path().toStdString()); }

private:
    QTemporaryDir dir_;
};

inline QString keyOf(const QTreeWidgetItem* item) { return item ? item->data(0, Qt::UserRole).toString() : QString(); }

inline QTreeWidgetItem* node(QTreeWidget* tree, const QString& key) {
    for (QTreeWidgetItemIterator it(tree); *it; ++it)
        if (keyOf(*it) == key) return *it;
    return nullptr;
}
inline QTreeWidgetItem* node(QTreeWidget* tree, const std::string& key) { return node(tree, QString::fromStdString(key)); }

// Clicks a node as the user does: its parents opened, the row clicked.
inline QTreeWidgetItem* click(QTreeWidget* tree, const std::string& key) {
    QTreeWidgetItem* item = node(tree, key);
    if (!item) return nullptr;
    for (QTreeWidgetItem* p = item->parent(); p; p = p->parent()) p->setExpanded(true);
    tree->scrollToItem(item);
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, tree->visualItemRect(item).center());
    return item;
}

// "&&" in an action text stands for one "&".
inline QString shown(const QAction* action) {
    QString t = action->text();
    return t.replace(QStringLiteral("&&"), QStringLiteral("&"));
}

}  // namespace zgui
