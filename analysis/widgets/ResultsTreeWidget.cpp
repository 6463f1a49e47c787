#include "analysis/widgets/ResultsTreeWidget.h"

#include <QTreeWidget>

CResultsTreeWidget::CResultsTreeWidget(QTreeWidget& tree) : m_tree(tree) {}

void CResultsTreeWidget::SetImages(std::vector<QIcon> images) {
    m_images = std::move(images);
}

void CResultsTreeWidget::DeleteAllItems() {
    m_tree.clear();
}

IResultsTree::Item CResultsTreeWidget::InsertItem(const std::string& text, int image,
                                                  int /*selectedImage*/, Item parent) {
    // A selected item shows the same picture: the analyser never asks otherwise.
    auto* item = parent != nullptr ? new QTreeWidgetItem(static_cast<QTreeWidgetItem*>(parent))
                                   : new QTreeWidgetItem(&m_tree);
    item->setText(0, QString::fromStdString(text));
    if (image >= 0 && static_cast<std::size_t>(image) < m_images.size()) {
        item->setIcon(0, m_images[static_cast<std::size_t>(image)]);
    }
    return item;
}

void CResultsTreeWidget::Expand(Item item) {
    if (item != nullptr) {
        static_cast<QTreeWidgetItem*>(item)->setExpanded(true);
    }
}
