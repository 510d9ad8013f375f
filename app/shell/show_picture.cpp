// A double-clicked row of the found-picture list shows its picture in the picture window.
#include "common/core_calls.h"
#include "common/handlers.h"
#include "common/picture_calls.h"
#include "common/unit_calls.h"
#include "form_ids.h"
#include "common/window_units.h"

namespace quillora::app {
namespace {

// The window's own kind property 1 takes picture data for its background.
constexpr std::int32_t kWindowBackgroundPicture = kFirstKindProperty + 1;

}  // namespace

HandlerResult ShowPicture(const EventArguments&)
{
    const FoundPictureList list = foundPictures();
    std::int32_t pathColumn = -1;
    const std::int32_t columns = list.columnCount();
    for (std::int32_t column = 0; column < columns && pathColumn < 0; ++column)
        if (findText(list.columnTitle(column), "文件名全称", LetterCase::Ignored) > 0)
            pathColumn = column;
    if (pathColumn < 0)
        return noValue();

    if (!isWindowLoaded(forms::PictureWindow::id))
        loadWindow(forms::PictureWindow::id, forms::MainWindow::id, WindowMode::Modeless);
    const ByteSet picture = ByteSet::copyOf(readFile(list.cellText(list.currentRow(), pathColumn)));
    const UnitRef window{forms::unit_type::window, forms::PictureWindow::id, 0};
    writeProperty(window, kWindowBackgroundPicture, picture.value());
    return noValue();
}

}  // namespace quillora::app
