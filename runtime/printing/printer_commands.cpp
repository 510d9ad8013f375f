// Stand-in until the printer is built: no printers, no forms, no jobs.
#include "quillora/printer_commands.h"

namespace quillora {
namespace {

void setFalse(RuntimeValue* result)
{
    if (result)
        *result = makeBool(false);
}

void setZero(RuntimeValue* result)
{
    if (result)
        *result = makeInt(0);
}

}  // namespace

void printerStartPrinting(RuntimeValue* result, std::int32_t, RuntimeValue*) { setFalse(result); }
void printerNewPage(RuntimeValue* result, std::int32_t, RuntimeValue*) { setFalse(result); }
void printerEndPrinting(RuntimeValue*, std::int32_t, RuntimeValue*) {}
void printerWriteTextAt(RuntimeValue*, std::int32_t, RuntimeValue*) {}
void printerTextWidth(RuntimeValue* result, std::int32_t, RuntimeValue*) { setZero(result); }
void printerTextHeight(RuntimeValue* result, std::int32_t, RuntimeValue*) { setZero(result); }
void printerPictureWidth(RuntimeValue* result, std::int32_t, RuntimeValue*) { setZero(result); }
void printerPictureHeight(RuntimeValue* result, std::int32_t, RuntimeValue*) { setZero(result); }
void printerDrawPicture(RuntimeValue*, std::int32_t, RuntimeValue*) {}
void printerGetForm(RuntimeValue* result, std::int32_t, RuntimeValue*) { setFalse(result); }
void printerListForms(RuntimeValue*, std::int32_t, RuntimeValue*) {}
void ListPrinters(RuntimeValue*, std::int32_t, RuntimeValue*) {}
void GetDefaultPrinter(RuntimeValue*, std::int32_t, RuntimeValue*) {}
void SetDefaultPrinter(RuntimeValue* result, std::int32_t, RuntimeValue*) { setFalse(result); }

}  // namespace quillora
