// The system dialogs the application opens by a core command of their own (the font dialog is a
// unit instead, see special_unit_commands.h). Called through CallCoreCommand (entry 4).
#pragma once

#include <cstdint>

#include "quillora/runtime_value.h"

namespace quillora {

// (title) -> text: the folder browser, showing folders only and an edit box for typing a path.
// The result is the chosen folder as a drive path ("D:\album", a drive root "D:\"), or the empty
// text when the user cancelled. A folder that lies on no drive, or that does not exist, is
// refused with a message box and the browser opens again, so the program is never handed a
// folder it could not write to by its drive path. Under the automation driver the next queued
// "answer folder" stands in for the user (a Linux path or a drive path; none queued = cancelled);
// without a display and without the driver the browser counts as cancelled.
void BrowseForFolder(RuntimeValue* result, std::int32_t argCount, RuntimeValue* args);

}  // namespace quillora
