// The main window's folder tree as the album logic uses it.
#pragma once

#include <cstdint>
#include <string>

#include "common/window_units.h"

namespace quillora::app {

// The folder tree: items in tree order, each with a caption, an image and a value.
class FolderTree {
public:
    explicit FolderTree(UnitRef unit) : unit_(unit) {}

    std::int32_t currentItem() const;
    std::int32_t itemCount() const;
    std::int32_t level(std::int32_t item) const;
    std::string caption(std::int32_t item) const;
    std::int32_t value(std::int32_t item) const;
    bool hasChildren(std::int32_t item) const;
    std::int32_t parent(std::int32_t item) const;
    // Adds an item under `parentItem` (-1: at the top level) and returns its index.
    std::int32_t addItem(std::int32_t parentItem, const std::string& caption, std::int32_t image,
                         std::int32_t value) const;
    void deleteItem(std::int32_t item) const;
    void expand(std::int32_t item) const;

private:
    UnitRef unit_;
};

FolderTree folderTree();

}  // namespace quillora::app
