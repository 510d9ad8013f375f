#include "printjob/page_names.h"

#include "common/core_calls.h"

namespace quillora::app {

std::string pageBaseName(std::string_view folder, const LocalTime& time, std::int32_t pageNumber)
{
    const std::int64_t date = std::int64_t{time.year} * 10000 + time.month * 100 + time.day;
    const std::int64_t clock = std::int64_t{time.hour} * 10000 + time.minute * 100 + time.second;
    const std::string name =
        std::string(folder) + "\\" + toText(date) + "_" + toText(clock) + "_" + toText(pageNumber);
    return replaceAll(name, "\\\\", "\\", LetterCase::Matters);
}

std::string_view pageExtensionOf(std::int32_t formatCode)
{
    switch (formatCode) {
    case 1:
        return ".bmp";
    case 3:
        return ".gif";
    case 4:
        return ".tiff";
    case 5:
        return ".png";
    default:
        return ".jpg";
    }
}

std::string pageFileName(std::string_view baseName, std::string_view extension, std::int32_t attempt)
{
    std::string name(baseName);
    if (attempt > 1)
        name += "-" + toText(attempt);
    return name + std::string(extension);
}

}  // namespace quillora::app
