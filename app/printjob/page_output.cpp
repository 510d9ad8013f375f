// Saving one finished export page. The page is made in memory first (panel picture, bitmap
// stamped with 300 pixels per inch, turned for landscape, converted) and only then written, as a
// new file that never replaces another: a page that cannot be saved is reported, never lost in
// silence, and no half-written file is left under a page's name.
#include "printjob/page_output.h"

#include "common/core_calls.h"
#include "common/picture_calls.h"
#include "common/window_units.h"
#include "printjob/encode_picture.h"
#include "printjob/page_names.h"
#include "printjob/job_tally.h"
#include "quillora/core_commands.h"
#include "quillora/draw_panel_commands.h"
#include "quillora/new_file_commands.h"

#include <utility>
#include <vector>

namespace quillora::app {
namespace {

// 300 pixels per inch.
constexpr std::int32_t kPagePixelsPerMetre = 11811;
// The stop icon and one OK button.
constexpr std::int32_t kFailureBoxStyle = 16;

LocalTime currentLocalTime()
{
    const RuntimeValue now = callCore(&Now);
    return LocalTime{asInt(callCore(&YearOf, now)),   asInt(callCore(&MonthOf, now)),
                     asInt(callCore(&DayOf, now)),    asInt(callCore(&HourOf, now)),
                     asInt(callCore(&MinuteOf, now)), asInt(callCore(&SecondOf, now))};
}

std::string reasonOf(NewFileResult result)
{
    switch (result) {
    case NewFileResult::Written:
        return std::string();
    case NewFileResult::NameTaken:
        return "同名的文件太多，找不到空闲的文件名";
    case NewFileResult::FolderMissing:
        return "文件夹不存在";
    case NewFileResult::NotPermitted:
        return "没有写入这个文件夹的权限，或者它是只读的";
    case NewFileResult::DiskFull:
        return "磁盘空间不足";
    case NewFileResult::InvalidName:
        return "文件名无效";
    case NewFileResult::Failed:
        break;
    }
    return "写入文件时出错";
}

void reportUnsaved(const std::string& fileName, std::int32_t pageNumber, const std::string& reason)
{
    mainStatusBar().show("第" + toText(pageNumber) + "页未能保存：" + fileName + "（" + reason + "）");
    if (jobTally().lossShown)
        return;
    jobTally().lossShown = true;
    messageBox("第" + toText(pageNumber) + "页无法保存为文件“" + fileName + "”：" + reason +
                   "。\r\n已经保存的页面都保留着，这一批其余的页面不再输出。",
               kFailureBoxStyle, "保存页面失败");
}

// The page picture in the file format of the code: BMP as the bitmap holds it, the other formats
// through the image-encoding service. Empty when it cannot be made. The bitmap is let go as soon as
// its data is out, and a BMP page is written from that data itself: a page is 18.7 MB in each
// form, so every copy alive at once adds that much to the job's peak memory.
ByteSet pageFileBytes(BitmapObject&& page, std::int32_t formatCode, std::string& reason)
{
    ByteSet bmp = page.data();
    const std::string bitmapError = bmp.empty() ? page.lastError() : std::string();
    page = BitmapObject();
    if (bmp.empty()) {
        reason = "页面图片无法取出：" + bitmapError;
        return ByteSet();
    }
    if (formatCode == 1)
        return bmp;
    // The name of any code outside 1..5 ends in ".jpg", so its content is JPEG too.
    const std::int32_t encoding = formatCode >= 2 && formatCode <= 5 ? formatCode : 2;
    auto converted = encodeOwnedPictureData(std::move(bmp), encoding);
    if (!converted || converted->empty()) {
        reason = "图像编码服务未能转换这种格式";
        return ByteSet();
    }
    return std::move(*converted);
}

}  // namespace

bool OutputExportPage(const UnitRef& panel, const std::string& folder, std::int32_t pageNumber,
                      Orientation orientation, std::int32_t formatCode)
{
    const std::string baseName = pageBaseName(folder, currentLocalTime(), pageNumber);
    const std::string_view extension = pageExtensionOf(formatCode);
    const std::string firstName = pageFileName(baseName, extension, 1);

    // The panel gives its page away and is cleared: its pixels (25 MB for an A4 page) go as the
    // page's picture is made, instead of staying beside the copies of the page that loading,
    // turning and converting each hold for a moment. The export loop clears the panel again after
    // the page, which then finds nothing to free.
    ByteSet picture = ByteSet::adopt(callMethod(panel, &drawPanelHandOverPicture));
    BitmapObject page;
    const bool loaded = page.loadFromData(picture);
    picture = ByteSet();
    if (!loaded) {
        reportUnsaved(firstName, pageNumber, "无法取得页面的图片：" + page.lastError());
        return false;
    }
    page.setHorizontalResolution(kPagePixelsPerMetre);
    page.setVerticalResolution(kPagePixelsPerMetre);
    // Turned clockwise: the page's top row becomes the right-hand column.
    if (orientation == Orientation::Landscape) {
        page = page.rotated(90.0, 0);
        // A turn that failed leaves an empty bitmap holding the reason; asking the empty bitmap
        // for its data would replace that reason with "not created".
        if (std::string turnError = page.lastError(); !turnError.empty()) {
            reportUnsaved(firstName, pageNumber, "页面无法转为横向：" + turnError);
            return false;
        }
    }

    std::string reason;
    const ByteSet content = pageFileBytes(std::move(page), formatCode, reason);
    if (content.empty()) {
        reportUnsaved(firstName, pageNumber, reason);
        return false;
    }
    for (std::int32_t attempt = 1; attempt <= kMaxPageNameAttempts; ++attempt) {
        const std::string fileName = pageFileName(baseName, extension, attempt);
        const auto result = static_cast<NewFileResult>(
            asInt(callCore(&WriteNewFile, textValue(fileName), content.value())));
        if (result == NewFileResult::Written) {
            jobTally().writtenFiles.push_back(fileName);
            return true;
        }
        if (result != NewFileResult::NameTaken) {
            reportUnsaved(fileName, pageNumber, reasonOf(result));
            return false;
        }
    }
    reportUnsaved(firstName, pageNumber, reasonOf(NewFileResult::NameTaken));
    return false;
}

}  // namespace quillora::app
