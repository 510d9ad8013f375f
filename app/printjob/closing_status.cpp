#include "printjob/closing_status.h"

#include "common/core_calls.h"

namespace quillora::app {
namespace {

// "但有2页未能保存，1份文档未能打印，原因见提示。", or nothing when nothing was lost.
std::string lostPart(const JobTally& tally)
{
    const std::string lost = lostText(tally);
    return lost.empty() ? std::string() : "但有" + lost + "，原因见提示。";
}

// The documents of one job all go to the PDF printer's one folder; the last one names it.
std::string documentsPart(const JobTally& tally)
{
    if (tally.writtenDocuments.empty())
        return {};
    return "PDF 文件在“" + folderOfFile(tally.writtenDocuments.back()) + "”里。";
}

}  // namespace

std::string lostText(const JobTally& tally)
{
    std::string lost;
    if (tally.pagesUnsaved > 0)
        lost = toText(tally.pagesUnsaved) + "页未能保存";
    if (tally.documentsUnprinted > 0)
        lost += (lost.empty() ? "" : "，") + toText(tally.documentsUnprinted) + "份文档未能打印";
    return lost;
}

std::string folderOfFile(std::string_view path)
{
    const std::size_t separator = path.find_last_of("/\\");
    if (separator == std::string_view::npos)
        return {};
    // The root folder keeps its separator.
    return std::string(path.substr(0, separator == 0 ? 1 : separator));
}

std::string closingStatus(const JobTally& tally)
{
    std::string status(kStatusFinished);
    const std::string lost = lostPart(tally);
    if (tally.pagesMade == 0 && lost.empty())
        return status + (tally.cancelled ? "已取消，" : "") + "没有打印任何页面。";
    if (tally.cancelled)
        status += "已取消，完成了" + toText(tally.pagesMade) + "页。";
    if (tally.pagesWithoutFolder > 0)
        status += "有" + toText(tally.pagesWithoutFolder) + "页没有选定保存的文件夹，没有保存。";
    status += lost;
    if (tally.picturesUnread > 0)
        status += "有" + toText(tally.picturesUnread) + "张照片读不出来（已删除或已不是图片），它们的位置空着。";
    return status + documentsPart(tally);
}

}  // namespace quillora::app
