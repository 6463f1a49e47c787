#pragma once

#include "analysis/ResultsTree.h"

#include <QIcon>

#include <vector>

class QTreeWidget;

// The analyser's results tree shown in a tree control, with pictures by index
// from an image list (none when the list is empty or too short).
class CResultsTreeWidget : public IResultsTree {
public:
    explicit CResultsTreeWidget(QTreeWidget& tree);

    void SetImages(std::vector<QIcon> images);

    void DeleteAllItems() override;
    Item InsertItem(const std::string& text, int image, int selectedImage, Item parent) override;
    void Expand(Item item) override;

private:
    QTreeWidget& m_tree;
    std::vector<QIcon> m_images;
};
