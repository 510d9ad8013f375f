// The printer unit's methods and the printer-list service in the runtime's one command shape.
// Each method finds the printer named by argument 0; a call on anything that is not a live
// printer unit does nothing and returns 0, false or an empty value.
#include "quillora/printer_commands.h"

#include "quillora/array_block.h"
#include "quillora/core_commands.h"
#include "runtime/core/command_arguments.h"
#include "runtime/core/memory.h"
#include "runtime/printing/canvas_commands.h"
#include "runtime/printing/printer_service.h"
#include "runtime/printing/printer_unit.h"
#include "runtime/printing/unit_command_arguments.h"

#include <cstring>
#include <string>
#include <vector>

namespace quillora {
namespace {

using runtime::CommandArguments;
using runtime::optionalInt;
using runtime::PrinterUnit;

// Drawing and measuring are the canvas commands the drawing panel and the printer share.
using PrinterCanvas = runtime::CanvasCommands<PrinterUnit>;

PrinterUnit* printerOf(const CommandArguments& arguments)
{
    return PrinterCanvas::unitIn(arguments);
}

std::optional<bool> optionalFlag(const CommandArguments& arguments, std::int32_t index)
{
    if (!arguments.has(index))
        return std::nullopt;
    return arguments.flag(index);
}

void setBool(RuntimeValue* result, bool value)
{
    if (result)
        *result = makeBool(value);
}

// {u32 1, u32 n, n text pointers}: one block for the array, one for each text.
void setTextArray(RuntimeValue* result, const std::vector<std::string>& texts)
{
    if (!result)
        return;
    const std::size_t headerBytes = 8;
    const std::size_t bytes = headerBytes + texts.size() * sizeof(char*);
    void* block = runtime::allocateBlock(static_cast<std::int64_t>(bytes));
    const std::uint32_t header[2] = {1, static_cast<std::uint32_t>(texts.size())};
    std::memcpy(block, header, sizeof header);
    for (std::size_t index = 0; index < texts.size(); ++index) {
        char* text = runtime::newTextBlock(texts[index]);
        std::memcpy(arrayElement(block, headerBytes, sizeof(char*), index), &text, sizeof text);
    }
    *result = makePointer(TypeCode::Text, block);
    result->type = kTextArrayType;
}

}  // namespace

void printerStartPrinting(RuntimeValue* result, std::int32_t argCount, RuntimeValue* args)
{
    const CommandArguments arguments(argCount, args);
    PrinterUnit* printer = printerOf(arguments);
    if (!printer) {
        setBool(result, false);
        return;
    }
    runtime::PrinterStartArguments start;
    start.count = arguments.count() - 1;
    start.showPrintDialog = optionalFlag(arguments, 1);
    start.showStatusDialog = optionalFlag(arguments, 2);
    if (arguments.has(3)) {
        if (arguments.at(3).type == static_cast<std::uint32_t>(TypeCode::Text))
            start.formName = std::string(arguments.text(3));
        else
            start.paperCode = arguments.int32(3);
    }
    start.orientation = optionalInt(arguments, 4);
    start.width = optionalInt(arguments, 5);
    start.height = optionalInt(arguments, 6);
    setBool(result, printer->startPrinting(start));
}

void printerNewPage(RuntimeValue* result, std::int32_t argCount, RuntimeValue* args)
{
    const CommandArguments arguments(argCount, args);
    PrinterUnit* printer = printerOf(arguments);
    setBool(result, printer && printer->newPage());
}

void printerEndPrinting(RuntimeValue* result, std::int32_t argCount, RuntimeValue* args)
{
    const CommandArguments arguments(argCount, args);
    PrinterUnit* printer = printerOf(arguments);
    setBool(result, printer && printer->endPrinting());
}

void printerWriteTextAt(RuntimeValue* result, std::int32_t argCount, RuntimeValue* args)
{
    PrinterCanvas::writeTextAt(result, argCount, args);
}

void printerTextWidth(RuntimeValue* result, std::int32_t argCount, RuntimeValue* args)
{
    PrinterCanvas::textWidth(result, argCount, args);
}

void printerTextHeight(RuntimeValue* result, std::int32_t argCount, RuntimeValue* args)
{
    PrinterCanvas::textHeight(result, argCount, args);
}

void printerPictureWidth(RuntimeValue* result, std::int32_t argCount, RuntimeValue* args)
{
    PrinterCanvas::pictureWidth(result, argCount, args);
}

void printerPictureHeight(RuntimeValue* result, std::int32_t argCount, RuntimeValue* args)
{
    PrinterCanvas::pictureHeight(result, argCount, args);
}

void printerDrawPicture(RuntimeValue* result, std::int32_t argCount, RuntimeValue* args)
{
    PrinterCanvas::drawPicture(result, argCount, args);
}

void printerGetForm(RuntimeValue* result, std::int32_t argCount, RuntimeValue* args)
{
    const CommandArguments arguments(argCount, args);
    PrinterUnit* printer = printerOf(arguments);
    const std::optional<runtime::PrinterFormReading> form =
        printer ? printer->form(arguments.text(1)) : std::nullopt;
    setBool(result, form.has_value());
    if (!form)
        return;
    // The six variables follow the name; only those that were passed are written.
    const std::int32_t values[6] = {form->width, form->height, form->top, form->bottom, form->left, form->right};
    for (std::int32_t slot = 0; slot < 6; ++slot) {
        const std::int32_t index = 2 + slot;
        if (index < argCount && args)
            args[index] = makeInt(values[slot]);
    }
}

void printerListForms(RuntimeValue* result, std::int32_t argCount, RuntimeValue* args)
{
    const CommandArguments arguments(argCount, args);
    PrinterUnit* printer = printerOf(arguments);
    setTextArray(result, printer ? printer->formNames() : std::vector<std::string>{});
}

void ListPrinters(RuntimeValue* result, std::int32_t, RuntimeValue*)
{
    // A list the user will choose from: one failed answer a moment ago does not hide the server.
    runtime::askPrintServerAfresh();
    setTextArray(result, runtime::listPrinters());
}

void GetDefaultPrinter(RuntimeValue* result, std::int32_t, RuntimeValue*)
{
    if (result)
        *result = runtime::textResult(runtime::defaultPrinter());
}

void SetDefaultPrinter(RuntimeValue* result, std::int32_t argCount, RuntimeValue* args)
{
    const CommandArguments arguments(argCount, args);
    setBool(result, runtime::setDefaultPrinter(arguments.text(0)));
}

void GetPrinterProblem(RuntimeValue* result, std::int32_t argCount, RuntimeValue* args)
{
    const CommandArguments arguments(argCount, args);
    if (result)
        *result = runtime::textResult(runtime::printerProblem(std::string(arguments.text(0))));
}

}  // namespace quillora
