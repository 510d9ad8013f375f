// The main window's units as the album logic uses them.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "common/unit_calls.h"

namespace quillora::app {

// The greeting that follows the search's closing messages.
inline constexpr std::string_view kGreeting = "欢迎使用 Quillora 相册打印，更多信息请访问 www.quillora.example";

// Part 0 of the status bar carries every message of the main window.
class StatusBar {
public:
    explicit StatusBar(UnitRef unit) : unit_(unit) {}
    void show(std::string_view text) const;

private:
    UnitRef unit_;
};

// The found-picture list: one row per picture with serial number, full name, folder and name.
class FoundPictureList {
public:
    explicit FoundPictureList(UnitRef unit) : unit_(unit) {}

    // Empties the list (rows and columns) and creates the four columns.
    void reset() const;
    void appendPicture(const std::string& fullName, const std::string& folder, const std::string& name) const;

    std::int32_t rowCount() const;
    std::int32_t columnCount() const;
    std::string columnTitle(std::int32_t column) const;
    std::int32_t currentRow() const;
    std::string cellText(std::int32_t row, std::int32_t column) const;

private:
    UnitRef unit_;
};

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

StatusBar mainStatusBar();
FoundPictureList foundPictures();
FolderTree folderTree();

UnitRef mainWindowUnit(std::uint32_t typeCode, std::uint32_t unitId);
bool isChecked(const UnitRef& checkBox);
std::string editText(const UnitRef& editBox);

}  // namespace quillora::app
