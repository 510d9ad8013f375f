// A double-clicked row of the found-picture list shows its picture in the picture window.
#include <cstring>

#include "common/core_calls.h"
#include "common/handlers.h"
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
        if (findText(list.columnTitle(column), "文件名全称", true) > 0)
            pathColumn = column;
    if (pathColumn < 0)
        return noValue();

    if (!isWindowLoaded(forms::PictureWindow::id))
        loadWindow(forms::PictureWindow::id, forms::MainWindow::id, false);
    const std::vector<std::uint8_t> bytes = readFile(list.cellText(list.currentRow(), pathColumn));
    const UnitRef window{forms::unit_type::window, forms::PictureWindow::id, 0};
    void* block = bytes.empty() ? nullptr : runtime().AllocateBlock(static_cast<std::int64_t>(8 + bytes.size()));
    if (block) {
        const std::uint32_t header[2] = {1, static_cast<std::uint32_t>(bytes.size())};
        std::memcpy(block, header, sizeof header);
        std::memcpy(static_cast<std::uint8_t*>(block) + sizeof header, bytes.data(), bytes.size());
    }
    OwnedBlock owned(block);
    writeProperty(window, kWindowBackgroundPicture, makePointer(TypeCode::ByteSet, block));
    return noValue();
}

}  // namespace quillora::app
