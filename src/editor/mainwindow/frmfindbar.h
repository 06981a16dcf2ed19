#pragma once
// The find bar above the tree (txtsuche): typing shows only the countries and clubs whose
// name contains the text, ignoring case and accents; an empty text shows everything again.
#include <QLineEdit>
#include <vector>

#include "mainwindow/find.h"

class QTreeWidget;
class QTreeWidgetItem;

class FindBar : public QLineEdit {
    Q_OBJECT
public:
    FindBar(QTreeWidget* tree, int keyRole, QWidget* parent);
    // After the tree was rebuilt: indexes its nodes and applies the current text to them.
    void reindex();
    // Ctrl+F: focus with the text selected.
    void focusSearch();

private:
    void apply();

    QTreeWidget* tree_;
    int keyRole_;
    find::TreeIndex index_;
    std::vector<QTreeWidgetItem*> items_;
    bool filtered_ = false;
};
