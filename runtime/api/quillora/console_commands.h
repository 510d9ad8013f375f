// The commands of a job run from the command line: the terminal it was started from, and the
// Linux paths its user typed turned into the drive paths the program works with (and back).
// Called through CallCoreCommand (entry 4).
#pragma once

#include <cstdint>

#include "quillora/runtime_value.h"

namespace quillora {

// (stream: 1 standard output, 2 standard error) -> bool: whether the stream is a terminal.
void ConsoleIsTerminal(RuntimeValue* result, std::int32_t argCount, RuntimeValue* args);
// (stream, text) -> nothing: writes the text as it is, flushed at once.
void WriteConsole(RuntimeValue* result, std::int32_t argCount, RuntimeValue* args);
// () -> nothing: from now on Ctrl+C is a request that InterruptRequested reports, not the end of
// the process (a second Ctrl+C while the first is unanswered still ends it).
void CatchInterrupt(RuntimeValue* result, std::int32_t argCount, RuntimeValue* args);
// () -> bool: Ctrl+C was pressed since CatchInterrupt.
void InterruptRequested(RuntimeValue* result, std::int32_t argCount, RuntimeValue* args);
// (path: a Linux path, absolute or relative to the folder the program was started in) -> text:
// the existing folder it names, as a drive path ("D:\album"); the empty text when it is no
// existing folder or lies on no drive.
void FolderAsDrivePath(RuntimeValue* result, std::int32_t argCount, RuntimeValue* args);
// (path: a drive path) -> text: the Linux path it names; empty for a path on no mapped drive.
void LinuxPathOf(RuntimeValue* result, std::int32_t argCount, RuntimeValue* args);

}  // namespace quillora
