// What is written under a picture: its file name, the date it was taken, or both.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "common/picture_calls.h"

namespace quillora::app {

// The items of 组合框_照片说明, by index; any other number is the file name.
enum class CaptionKind : std::int32_t {
    FileName = 0,         // "文件名": the captions as they are handed over
    TakenDate = 1,        // "拍摄日期"
    FileNameAndDate = 2,  // "文件名和拍摄日期"
};
CaptionKind captionKindOf(std::int32_t index);

// Between the file name and the date on their one line.
inline constexpr const char* kCaptionSeparator = "  ";

// "2024-05-01 10:20".
std::string takenDateText(const TakenTime& taken);

// The caption of a picture whose file name caption is `fileName` and whose date is `taken`
// (nothing: not known). A date that is not known leaves the file name alone, or nothing.
std::string captionText(CaptionKind kind, const std::string& fileName, const std::optional<TakenTime>& taken);

}  // namespace quillora::app
