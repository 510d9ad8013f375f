// The settings window's questions to the printing runtime: which printers there are, which is the
// default, and which papers the window's printer unit 打印机1 offers, with their sizes.
#include "pagesetup/settings_window.h"

#include "common/runtime_calls.h"
#include "common/text_array.h"
#include "quillora/printer_commands.h"

namespace quillora::app::settings_window {

std::vector<std::string> listPrinters()
{
    return takeTextArray(callCore(&ListPrinters));
}

std::string defaultPrinterName()
{
    return takeText(callCore(&GetDefaultPrinter));
}

std::vector<std::string> listPaperNames()
{
    return takeTextArray(callMethod(QUILLORA_SETTINGS_UNIT(打印机1), &printerListForms));
}

bool readPaperForm(const std::string& name, PaperForm& form)
{
    // The six sizes come back by reference: the command overwrites its own argument records, so
    // they are read from the array after the call.
    RuntimeValue arguments[] = {QUILLORA_SETTINGS_UNIT(打印机1).value(), textValue(name),
                                makeInt(form.width), makeInt(form.height), makeInt(form.top),
                                makeInt(form.bottom), makeInt(form.left), makeInt(form.right)};
    const RuntimeValue result = runtime().CallLibraryCommand(
        kPrinterLibrary, &printerGetForm, static_cast<std::int32_t>(std::size(arguments)), arguments);
    if (!asBool(result))
        return false;
    form.width = asInt(arguments[2]);
    form.height = asInt(arguments[3]);
    form.top = asInt(arguments[4]);
    form.bottom = asInt(arguments[5]);
    form.left = asInt(arguments[6]);
    form.right = asInt(arguments[7]);
    return true;
}

}  // namespace quillora::app::settings_window
