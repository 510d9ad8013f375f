// The drawing panel's methods in the runtime's one command shape. Each finds the panel named by
// argument 0 and reads its own arguments; a call on anything that is not a live drawing panel
// does nothing and returns 0 or an empty byte set.
#include "quillora/draw_panel_commands.h"

#include "quillora/core_commands.h"
#include "runtime/core/command_arguments.h"
#include "runtime/core/memory.h"
#include "runtime/printing/canvas_commands.h"
#include "runtime/printing/draw_panel.h"
#include "runtime/printing/unit_command_arguments.h"

#include <optional>

namespace quillora {
namespace {

using runtime::CommandArguments;
using runtime::optionalInt;
using runtime::DrawPanelUnit;

// Drawing and measuring are the canvas commands the drawing panel and the printer share.
using PanelCanvas = runtime::CanvasCommands<DrawPanelUnit>;

DrawPanelUnit* panelOf(const CommandArguments& arguments)
{
    return PanelCanvas::unitIn(arguments);
}

std::optional<std::int64_t> optionalInteger(const CommandArguments& arguments, std::int32_t index)
{
    if (!arguments.has(index))
        return std::nullopt;
    return arguments.integer(index);
}

}  // namespace

void drawPanelClear(RuntimeValue*, std::int32_t argCount, RuntimeValue* args)
{
    const CommandArguments arguments(argCount, args);
    if (DrawPanelUnit* panel = panelOf(arguments))
        panel->clear(optionalInt(arguments, 1), optionalInt(arguments, 2), optionalInt(arguments, 3),
                     optionalInt(arguments, 4));
}

void drawPanelDrawPicture(RuntimeValue* result, std::int32_t argCount, RuntimeValue* args)
{
    PanelCanvas::drawPicture(result, argCount, args);
}

void drawPanelWriteTextAt(RuntimeValue* result, std::int32_t argCount, RuntimeValue* args)
{
    PanelCanvas::writeTextAt(result, argCount, args);
}

void drawPanelTextWidth(RuntimeValue* result, std::int32_t argCount, RuntimeValue* args)
{
    PanelCanvas::textWidth(result, argCount, args);
}

void drawPanelTextHeight(RuntimeValue* result, std::int32_t argCount, RuntimeValue* args)
{
    PanelCanvas::textHeight(result, argCount, args);
}

void drawPanelPictureWidth(RuntimeValue* result, std::int32_t argCount, RuntimeValue* args)
{
    PanelCanvas::pictureWidth(result, argCount, args);
}

void drawPanelPictureHeight(RuntimeValue* result, std::int32_t argCount, RuntimeValue* args)
{
    PanelCanvas::pictureHeight(result, argCount, args);
}

void drawPanelGetPicture(RuntimeValue* result, std::int32_t argCount, RuntimeValue* args)
{
    const CommandArguments arguments(argCount, args);
    void* picture = nullptr;
    if (DrawPanelUnit* panel = panelOf(arguments))
        picture = panel->takePicture(optionalInteger(arguments, 1), optionalInteger(arguments, 2));
    if (!result) {
        runtime::freeBlock(picture);
        return;
    }
    *result = makePointer(TypeCode::ByteSet, picture);
}

void drawPanelHandOverPicture(RuntimeValue* result, std::int32_t argCount, RuntimeValue* args)
{
    const CommandArguments arguments(argCount, args);
    void* picture = nullptr;
    if (DrawPanelUnit* panel = panelOf(arguments))
        picture = panel->handOverPicture();
    if (!result) {
        runtime::freeBlock(picture);
        return;
    }
    *result = makePointer(TypeCode::ByteSet, picture);
}

}  // namespace quillora
