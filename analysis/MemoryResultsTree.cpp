#include "analysis/MemoryResultsTree.h"

void CMemoryResultsTree::DeleteAllItems() {
    m_root.children.clear();
}

IResultsTree::Item CMemoryResultsTree::InsertItem(const std::string& text, int image,
                                                  int selectedImage, Item parent) {
    Node* owner = parent != nullptr ? static_cast<Node*>(parent) : &m_root;
    auto node = std::make_unique<Node>();
    node->text = text;
    node->image = image;
    node->selectedImage = selectedImage;
    owner->children.push_back(std::move(node));
    return owner->children.back().get();
}

void CMemoryResultsTree::Expand(Item item) {
    if (item != nullptr) {
        static_cast<Node*>(item)->expanded = true;
    }
}
