// The drawing panel's methods in the runtime's one command shape. Each finds the panel named by
// argument 0 and reads its own arguments; a call on anything that is not a live drawing panel
// does nothing and returns 0 or an empty byte set.
#include "quillora/draw_panel_commands.h"

#include "quillora/core_commands.h"
#include "runtime/core/command_arguments.h"
#include "runtime/core/memory.h"
#include "runtime/printing/unit_command_arguments.h"
#include "runtime/printing/draw_panel.h"

#include <string>
#include <vector>

namespace quillora {
namespace {

using runtime::CommandArguments;
using runtime::optionalInt;
using runtime::setInt;
using runtime::textOf;
using runtime::DrawPanelUnit;

DrawPanelUnit* panelOf(const CommandArguments& arguments)
{
    if (arguments.count() < 1)
        return nullptr;
    return runtime::unitOf<DrawPanelUnit>(arguments.at(0));
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

void drawPanelDrawPicture(RuntimeValue*, std::int32_t argCount, RuntimeValue* args)
{
    const CommandArguments arguments(argCount, args);
    if (DrawPanelUnit* panel = panelOf(arguments))
        panel->drawPicture(arguments.int32(1), arguments.int32(2), arguments.int32(3), optionalInt(arguments, 4),
                           optionalInt(arguments, 5), arguments.int32(6, 1));
}

void drawPanelWriteTextAt(RuntimeValue*, std::int32_t argCount, RuntimeValue* args)
{
    const CommandArguments arguments(argCount, args);
    DrawPanelUnit* panel = panelOf(arguments);
    if (!panel)
        return;
    std::vector<std::string> texts;
    for (std::int32_t index = 3; index < arguments.count(); ++index)
        texts.push_back(textOf(arguments.at(index)));
    panel->writeTextAt(optionalInt(arguments, 1), optionalInt(arguments, 2), texts);
}

void drawPanelTextWidth(RuntimeValue* result, std::int32_t argCount, RuntimeValue* args)
{
    const CommandArguments arguments(argCount, args);
    DrawPanelUnit* panel = panelOf(arguments);
    setInt(result, panel ? panel->textExtent(textOf(arguments.at(1))).width : 0);
}

void drawPanelTextHeight(RuntimeValue* result, std::int32_t argCount, RuntimeValue* args)
{
    const CommandArguments arguments(argCount, args);
    DrawPanelUnit* panel = panelOf(arguments);
    setInt(result, panel ? panel->textExtent(textOf(arguments.at(1))).height : 0);
}

void drawPanelPictureWidth(RuntimeValue* result, std::int32_t argCount, RuntimeValue* args)
{
    const CommandArguments arguments(argCount, args);
    DrawPanelUnit* panel = panelOf(arguments);
    setInt(result, panel ? panel->pictureWidthInUnits(arguments.int32(1)) : 0);
}

void drawPanelPictureHeight(RuntimeValue* result, std::int32_t argCount, RuntimeValue* args)
{
    const CommandArguments arguments(argCount, args);
    DrawPanelUnit* panel = panelOf(arguments);
    setInt(result, panel ? panel->pictureHeightInUnits(arguments.int32(1)) : 0);
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

}  // namespace quillora
