#pragma once

#include "analysis/ResultsTree.h"

#include <memory>
#include <string>
#include <vector>

// A results tree held in memory, for printing and for checking what the
// analyser produced.
class CMemoryResultsTree : public IResultsTree {
public:
    struct Node {
        std::string text;
        int image = 0;
        int selectedImage = 0;
        bool expanded = false;
        std::vector<std::unique_ptr<Node>> children;
    };

    void DeleteAllItems() override;
    Item InsertItem(const std::string& text, int image, int selectedImage, Item parent) override;
    void Expand(Item item) override;

    const std::vector<std::unique_ptr<Node>>& TopLevel() const { return m_root.children; }

    // The same items with the same texts, pictures and states, in the same order.
    bool operator==(const CMemoryResultsTree& other) const;

private:
    Node m_root;
};
