// The canvas commands the drawing panel and the printer share: drawing a picture, writing lines
// of text, and measuring texts and pictures. The two units take the same arguments in the same
// positions and answer the same way; they differ only in how each readies its drawing surface,
// which the unit's own methods do. The bodies are written once here, for any unit kind that has
// those methods, and each unit's public commands (quillora/draw_panel_commands.h,
// quillora/printer_commands.h) call the instance for their kind.
//
// Argument 0 names the unit. A call on anything that is not a live unit of the command's own
// kind does nothing and returns 0: a printer command never draws on a panel, nor the reverse.
#pragma once

#include <concepts>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/device_context.h"
#include "quillora/runtime_value.h"
#include "runtime/core/command_arguments.h"
#include "runtime/picture/picture_drawing.h"
#include "runtime/picture/picture_registry.h"
#include "runtime/printing/unit_command_arguments.h"
#include "runtime/units/unit.h"

namespace quillora::runtime {

// A unit kind the canvas commands can drive: the drawing methods, in the unit's logical units.
template <typename Kind>
concept CanvasUnitKind = std::derived_from<Kind, Unit>
    && requires(Kind& unit, PictureHandle picture, std::optional<int> side, std::span<const std::string> texts,
                std::string_view text) {
           unit.drawPicture(picture, 0, 0, side, side, 1);
           unit.writeTextAt(side, side, texts);
           { unit.textExtent(text) } -> std::same_as<platform::TextExtent>;
           { unit.pictureWidthInUnits(picture) } -> std::same_as<int>;
           { unit.pictureHeightInUnits(picture) } -> std::same_as<int>;
       };

template <CanvasUnitKind Kind>
struct CanvasCommands {
    // The live unit argument 0 names, when it is one of this kind.
    static Kind* unitIn(const CommandArguments& arguments)
    {
        if (arguments.count() < 1)
            return nullptr;
        return unitOf<Kind>(arguments.at(0));
    }

    // (unit, picture handle, x, y, width?, height?, mode?, part x, part y, part width,
    // part height) -> nothing. The part is taken only when all four of its numbers are given.
    static void drawPicture(RuntimeValue*, std::int32_t argCount, RuntimeValue* args)
    {
        const CommandArguments arguments(argCount, args);
        Kind* unit = unitIn(arguments);
        if (!unit)
            return;
        std::optional<PicturePart> part;
        const auto partX = optionalInt(arguments, 7);
        const auto partY = optionalInt(arguments, 8);
        const auto partWidth = optionalInt(arguments, 9);
        const auto partHeight = optionalInt(arguments, 10);
        if (partX && partY && partWidth && partHeight)
            part = PicturePart{*partX, *partY, *partWidth, *partHeight};
        unit->drawPicture(arguments.int32(1), arguments.int32(2), arguments.int32(3), optionalInt(arguments, 4),
                          optionalInt(arguments, 5), arguments.int32(6, 1), part);
    }

    // (unit, x?, y?, values...) -> nothing: every value from position 3 on, as text.
    static void writeTextAt(RuntimeValue*, std::int32_t argCount, RuntimeValue* args)
    {
        const CommandArguments arguments(argCount, args);
        Kind* unit = unitIn(arguments);
        if (!unit)
            return;
        std::vector<std::string> texts;
        for (std::int32_t index = 3; index < arguments.count(); ++index)
            texts.push_back(textOf(arguments.at(index)));
        unit->writeTextAt(optionalInt(arguments, 1), optionalInt(arguments, 2), texts);
    }

    // (unit, text) -> int.
    static void textWidth(RuntimeValue* result, std::int32_t argCount, RuntimeValue* args)
    {
        const CommandArguments arguments(argCount, args);
        Kind* unit = unitIn(arguments);
        setInt(result, unit ? unit->textExtent(textOf(arguments.at(1))).width : 0);
    }

    static void textHeight(RuntimeValue* result, std::int32_t argCount, RuntimeValue* args)
    {
        const CommandArguments arguments(argCount, args);
        Kind* unit = unitIn(arguments);
        setInt(result, unit ? unit->textExtent(textOf(arguments.at(1))).height : 0);
    }

    // (unit, picture handle) -> int.
    static void pictureWidth(RuntimeValue* result, std::int32_t argCount, RuntimeValue* args)
    {
        const CommandArguments arguments(argCount, args);
        Kind* unit = unitIn(arguments);
        setInt(result, unit ? unit->pictureWidthInUnits(arguments.int32(1)) : 0);
    }

    static void pictureHeight(RuntimeValue* result, std::int32_t argCount, RuntimeValue* args)
    {
        const CommandArguments arguments(argCount, args);
        Kind* unit = unitIn(arguments);
        setInt(result, unit ? unit->pictureHeightInUnits(arguments.int32(1)) : 0);
    }
};

}  // namespace quillora::runtime
