#include "mainwindow/frmfindbar.h"

#include <QTreeWidget>
#include <functional>

FindBar::FindBar(QTreeWidget* tree, int keyRole, QWidget* parent) : QLineEdit(parent), tree_(tree), keyRole_(keyRole) {
    setObjectName(QStringLiteral("txtsuche"));
    setPlaceholderText(QStringLiteral("Land oder Verein suchen (Strg+F)"));
    setClearButtonEnabled(true);
    connect(this, &QLineEdit::textChanged, this, [this] { apply(); });
}

void FindBar::focusSearch() {
    setFocus(Qt::ShortcutFocusReason);
    selectAll();
}

void FindBar::reindex() {
    index_ = find::TreeIndex();
    items_.clear();
    const std::function<void(QTreeWidgetItem*, int)> walk = [&](QTreeWidgetItem* item, int parent) {
        const int i = index_.add(item->data(0, keyRole_).toString().toStdString(), item->text(0).toStdString(), parent);
        items_.push_back(item);
        for (int c = 0; c < item->childCount(); ++c) walk(item->child(c), i);
    };
    for (int t = 0; t < tree_->topLevelItemCount(); ++t) walk(tree_->topLevelItem(t), -1);
    filtered_ = false;
    if (!text().isEmpty()) apply();
}

void FindBar::apply() {
    const std::string needle = text().trimmed().toStdString();
    if (needle.empty() && !filtered_) return;
    const find::TreeIndex::View view = index_.filter(needle);
    tree_->setUpdatesEnabled(false);
    for (std::size_t i = 0; i < items_.size(); ++i) {
        QTreeWidgetItem* item = items_[i];
        const bool hide = !view.visible[i];
        if (item->isHidden() != hide) item->setHidden(hide);
        if (needle.empty()) item->setExpanded(false);
        else if (view.expanded[i] && !item->isExpanded()) item->setExpanded(true);
    }
    filtered_ = !needle.empty();
    // Back to the whole tree: the selected node stays in sight.
    if (!filtered_)
        if (QTreeWidgetItem* current = tree_->currentItem()) {
            for (QTreeWidgetItem* p = current->parent(); p; p = p->parent()) p->setExpanded(true);
            tree_->scrollToItem(current);
        }
    tree_->setUpdatesEnabled(true);
}
