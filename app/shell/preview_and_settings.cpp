// "预览与设置": the first hundred found pictures and the header and footer go to the print
// settings window, which opens modally with a preview.
#include "pagesetup/open_print_settings.h"

#include "common/core_calls.h"
#include "common/handlers.h"
#include "form_ids.h"
#include "common/window_units.h"
#include "shell/shell_state.h"

#include <utility>

namespace quillora::app {
namespace {

// Only the first hundred pictures reach the preview, which draws their first page.
constexpr std::int32_t kPreviewPictures = 100;

struct ColumnsByTitle {
    std::int32_t path = -1;
    std::int32_t name = -1;
    std::int32_t folder = -1;
};

// Titles are matched by containment, ignoring the case of ASCII letters; a later column
// overrides an earlier one, so "文件名" lands on the last column whose title holds it.
ColumnsByTitle findColumns(const FoundPictureList& list)
{
    ColumnsByTitle columns;
    const std::int32_t count = list.columnCount();
    for (std::int32_t column = 0; column < count; ++column) {
        const std::string title = list.columnTitle(column);
        if (findText(title, "文件名全称", LetterCase::Ignored) > 0)
            columns.path = column;
        if (findText(title, "文件名", LetterCase::Ignored) > 0)
            columns.name = column;
        if (findText(title, "文件夹", LetterCase::Ignored) > 0)
            columns.folder = column;
    }
    return columns;
}

}  // namespace

HandlerResult PreviewAndSettings(const EventArguments&)
{
    if (refusedDuringJob())
        return noValue();
    std::vector<std::string> paths(kPreviewPictures);
    std::vector<std::string> captions(kPreviewPictures);
    const FoundPictureList list = foundPictures();
    const ColumnsByTitle columns = findColumns(list);
    const std::int32_t rows = list.rowCount();
    for (std::int32_t row = 0; row < rows && row < kPreviewPictures; ++row) {
        paths[static_cast<std::size_t>(row)] = list.cellText(row, columns.path);
        captions[static_cast<std::size_t>(row)] = list.cellText(row, columns.name);
    }

    std::string header = lowerCase(editText(mainWindowUnit(forms::unit_type::EditBox, forms::MainWindow::编辑框_页眉)));
    std::string footer = lowerCase(editText(mainWindowUnit(forms::unit_type::EditBox, forms::MainWindow::编辑框_页脚)));
    const std::string category = rows > 0 ? list.cellText(0, columns.folder) : std::string();
    header = replaceAll(header, "&f", category, LetterCase::Matters);
    footer = replaceAll(footer, "&f", category, LetterCase::Matters);

    PreviewSet set;
    set.paths = std::move(paths);
    set.captions = std::move(captions);
    set.header = std::move(header);
    set.footer = std::move(footer);
    OpenPrintSettings(std::move(set));
    return noValue();
}

}  // namespace quillora::app
