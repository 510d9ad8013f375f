#include "pages/caption_text.h"

#include <cstdio>

namespace quillora::app {

CaptionKind captionKindOf(std::int32_t index)
{
    switch (index) {
    case static_cast<std::int32_t>(CaptionKind::TakenDate):
        return CaptionKind::TakenDate;
    case static_cast<std::int32_t>(CaptionKind::FileNameAndDate):
        return CaptionKind::FileNameAndDate;
    default:
        return CaptionKind::FileName;
    }
}

std::string takenDateText(const TakenTime& taken)
{
    char text[48];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d", taken.year, taken.month, taken.day, taken.hour,
                  taken.minute);
    return text;
}

std::string captionText(CaptionKind kind, const std::string& fileName, const std::optional<TakenTime>& taken)
{
    if (kind == CaptionKind::FileName || !taken)
        return kind == CaptionKind::TakenDate ? std::string() : fileName;
    const std::string date = takenDateText(*taken);
    if (kind == CaptionKind::TakenDate || fileName.empty())
        return date;
    return fileName + kCaptionSeparator + date;
}

}  // namespace quillora::app
