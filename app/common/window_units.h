// The units the album logic reads and writes in every window: the main window's status bar
// and found-picture list, and the small accessors of check boxes and edit boxes.
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

StatusBar mainStatusBar();
FoundPictureList foundPictures();

UnitRef mainWindowUnit(std::uint32_t typeCode, std::uint32_t unitId);
bool isChecked(const UnitRef& checkBox);
std::string editText(const UnitRef& editBox);

}  // namespace quillora::app
