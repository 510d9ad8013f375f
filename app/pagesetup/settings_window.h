// What the print settings window's handler files share: its units, the printer it asks for
// printers and papers, and the steps of filling, checking and closing it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "common/control_units.h"
#include "form_ids.h"
#include "pagesetup/layout_check.h"
#include "pagesetup/print_settings.h"

namespace quillora::app::settings_window {

// The unit of the settings window named `name` in its form.
#define QUILLORA_SETTINGS_UNIT(name)                                                                          \
    ::quillora::app::UnitRef { ::quillora::forms::PrintSettingsWindow::kind::name,                           \
                               ::quillora::forms::PrintSettingsWindow::id, ::quillora::forms::PrintSettingsWindow::name }

// The sliders stand four steps per picture (the form gives them 4 to 80, so 1 to 20 pictures).
inline constexpr std::int32_t kSliderStepsPerPicture = 4;

// --- the printer list and the papers of 打印机1 ----------------------------------------------------

std::vector<std::string> listPrinters();
std::string defaultPrinterName();
std::vector<std::string> listPaperNames();

// A paper form of the printer in tenths of a millimetre.
struct PaperForm {
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::int32_t top = 0;
    std::int32_t bottom = 0;
    std::int32_t left = 0;
    std::int32_t right = 0;
};
// False when the printer does not know the form.
bool readPaperForm(const std::string& name, PaperForm& form);

// --- filling and restoring ---------------------------------------------------------------------------

// Fills the printer and paper lists and restores the boxes from the record.
void fillWindow();
// True when the record holds settings a user confirmed with OK: the printer chosen then, or, when
// no printer was listed, the rows OK stored (OK never stores fewer than one, and the record
// starts with none).
bool settingsWereConfirmed(const PrintSettings& settings);

// --- OK and the preview ----------------------------------------------------------------------------

// The record as the boxes give it now, in the steps of the window's OK (lengths in tenths of a
// millimetre, counts truncated, a number past 32 bits at the nearest end), the rest kept from
// `former`. Reads the boxes only: OK checks it with layoutProblem() before storing it, and the
// preview checks it before drawing.
PrintSettings settingsFromBoxes(const PrintSettings& former);
// True when the width or the height box is empty.
bool paperBoxEmpty();
// The one check of a layout (pagesetup/layout_check.h).
using ::quillora::app::layoutProblem;

// --- closing ----------------------------------------------------------------------------------------

// Closes the window on behalf of OK or cancel: the may-close event that follows lets it go without
// clearing what OK stored.
void closeOnOwnRequest();
// True (once) when the pending close is the window's own.
bool takeOwnCloseRequest();
// True from the moment the window has agreed to close until it is created again. The edit box
// that had the focus loses it while the window goes; its warning and preview are of no use then.
bool closing();
void setClosing(bool closing);

}  // namespace quillora::app::settings_window
