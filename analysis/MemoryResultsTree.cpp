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

namespace {

bool SameNodes(const CMemoryResultsTree::Node& a, const CMemoryResultsTree::Node& b) {
    if (a.text != b.text || a.image != b.image || a.selectedImage != b.selectedImage ||
        a.expanded != b.expanded || a.children.size() != b.children.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.children.size(); ++i) {
        if (!SameNodes(*a.children[i], *b.children[i])) {
            return false;
        }
    }
    return true;
}

} // namespace

bool CMemoryResultsTree::operator==(const CMemoryResultsTree& other) const {
    return SameNodes(m_root, other.m_root);
}
