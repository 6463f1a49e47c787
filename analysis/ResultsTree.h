#pragma once

#include <string>

// The results tree as the analyser sees it: the Analysis page adapts it to its
// tree control, the command-line tool to printed lines. Texts are UTF-8.
class IResultsTree {
public:
    // An item of the tree; nullptr is "none" (a failed insertion) and, as a
    // parent, the top level.
    using Item = void*;

    virtual ~IResultsTree() = default;

    virtual void DeleteAllItems() = 0;
    // Appends an item after the existing children of `parent` (top level when
    // nullptr). Returns nullptr when the item cannot be made.
    virtual Item InsertItem(const std::string& text, int image, int selectedImage, Item parent) = 0;
    virtual void Expand(Item item) = 0;
};
