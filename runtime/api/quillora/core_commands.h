// The core commands the application calls through CallCoreCommand (entry 4). Every one has the
// CommandFunction shape: a zeroed result record, the argument count and the argument records.
// Optional arguments (marked "?") may be left out or passed as a record of type 0. Positions in
// texts are 1-based byte positions. Texts and byte sets returned are fresh blocks the caller
// frees with FreeBlock; arguments are never freed.
#pragma once

#include <cstdint>

#include "quillora/runtime_value.h"

namespace quillora {

// --- conversions ------------------------------------------------------------------------------

// any value → text. byte "%u"; short, int, int64 decimal; float "%.6g"; double "%.13g"; bool
// "真"/"假"; date-time "2010年4月6日" followed by the time down to its last non-zero part
// ("9时5分3秒", "9时5分", "9时"); text itself; byte set its bytes up to the first zero byte.
void ToText(RuntimeValue* result, std::int32_t argCount, RuntimeValue* args);
// any value → double. Numbers exactly, bool 1/0, date-time its days; a text has its full-width
// characters made ASCII and is then read as a decimal number (leading blanks, sign, digits,
// point, exponent); a text that is no number gives 0.
void ToNumber(RuntimeValue* result, std::int32_t argCount, RuntimeValue* args);

// --- texts ------------------------------------------------------------------------------------

// text → int: its length in bytes.
void TextLength(RuntimeValue* result, std::int32_t argCount, RuntimeValue* args);
// text, n → text: the first min(n, length) bytes.
void LeftText(RuntimeValue* result, std::int32_t argCount, RuntimeValue* args);
// text, n → text: the last min(n, length) bytes.
void RightText(RuntimeValue* result, std::int32_t argCount, RuntimeValue* args);
// text, start, length → text: up to `length` bytes from `start`.
void MidText(RuntimeValue* result, std::int32_t argCount, RuntimeValue* args);
// text, sought, start?, ignore case? → int: first position at or after start, or -1.
void FindText(RuntimeValue* result, std::int32_t argCount, RuntimeValue* args);
// text, sought, start?, ignore case? → int: last occurrence beginning at or before start, or -1.
void FindTextFromEnd(RuntimeValue* result, std::int32_t argCount, RuntimeValue* args);
// text → text with ASCII letters in upper case.
void UpperCase(RuntimeValue* result, std::int32_t argCount, RuntimeValue* args);
// text → text with ASCII letters in lower case.
void LowerCase(RuntimeValue* result, std::int32_t argCount, RuntimeValue* args);
// text → text without blanks at either end.
void TrimBoth(RuntimeValue* result, std::int32_t argCount, RuntimeValue* args);
// text, sought, replacement?, start?, count?, case-sensitive? → text.
void ReplaceAll(RuntimeValue* result, std::int32_t argCount, RuntimeValue* args);
// n → text of n spaces.
void Blanks(RuntimeValue* result, std::int32_t argCount, RuntimeValue* args);
// code → the one-byte text of that code.
void CharOfCode(RuntimeValue* result, std::int32_t argCount, RuntimeValue* args);
// text, index? → int: the byte at the position (absent: 1), 0 outside the text.
void CodeOfChar(RuntimeValue* result, std::int32_t argCount, RuntimeValue* args);

// --- numbers ----------------------------------------------------------------------------------

// a, b, ... → double: a divided by each next argument, truncated toward zero after each step.
// A divisor of 0 ends the program with the runtime error report "不能整除于零".
void IntDivide(RuntimeValue* result, std::int32_t argCount, RuntimeValue* args);
// a, b, ... → double: the remainder of a after division by each next argument. A divisor of 0
// ends the program with the runtime error report "不能求余数于零".
void Remainder(RuntimeValue* result, std::int32_t argCount, RuntimeValue* args);
// x → double: the square root.
void SquareRoot(RuntimeValue* result, std::int32_t argCount, RuntimeValue* args);
// → int: milliseconds since the system started.
void TickCount(RuntimeValue* result, std::int32_t argCount, RuntimeValue* args);

// --- date and time ----------------------------------------------------------------------------

// → date-time: the current local date and time.
void Now(RuntimeValue* result, std::int32_t argCount, RuntimeValue* args);
// date-time → int: one calendar part (month 1..12, hour 0..23).
void YearOf(RuntimeValue* result, std::int32_t argCount, RuntimeValue* args);
void MonthOf(RuntimeValue* result, std::int32_t argCount, RuntimeValue* args);
void DayOf(RuntimeValue* result, std::int32_t argCount, RuntimeValue* args);
void HourOf(RuntimeValue* result, std::int32_t argCount, RuntimeValue* args);
void MinuteOf(RuntimeValue* result, std::int32_t argCount, RuntimeValue* args);
void SecondOf(RuntimeValue* result, std::int32_t argCount, RuntimeValue* args);

// --- files ------------------------------------------------------------------------------------

// path → bool: an entry matches the path (wildcards allowed in its last part).
void FileExists(RuntimeValue* result, std::int32_t argCount, RuntimeValue* args);
// path → int: the size of the first matching entry, or -1 when none matches.
void FileSize(RuntimeValue* result, std::int32_t argCount, RuntimeValue* args);
// path → byte set: the whole file, empty when it cannot be read.
void ReadFile(RuntimeValue* result, std::int32_t argCount, RuntimeValue* args);
// path, byte set, ... → bool: the file created or truncated and every byte set written to it.
void WriteFile(RuntimeValue* result, std::int32_t argCount, RuntimeValue* args);

// --- system folders ---------------------------------------------------------------------------

// The kinds SpecialFolder knows.
enum class SpecialFolderKind : std::int32_t {
    Documents = 1,
    Desktop = 3,
};

// kind → text: the folder as a Windows path with a trailing backslash; empty for an unknown
// kind or a folder that lies on no drive.
void SpecialFolder(RuntimeValue* result, std::int32_t argCount, RuntimeValue* args);

// --- windows, messages and the cursor ---------------------------------------------------------

// (window id, owner window id?, modal?) -> bool; a modal load returns when the window has closed.
void LoadWindow(RuntimeValue* result, std::int32_t argCount, RuntimeValue* args);
// (window id) -> bool
void IsWindowLoaded(RuntimeValue* result, std::int32_t argCount, RuntimeValue* args);
// (window id): the window closes when pending messages are next processed.
void CloseWindow(RuntimeValue* result, std::int32_t argCount, RuntimeValue* args);
// Dispatches the waiting messages, then returns: the application's cooperative point.
void ProcessEvents(RuntimeValue* result, std::int32_t argCount, RuntimeValue* args);
// (value, style?, title?) -> number of the button pressed; the title defaults to "信息：".
void MessageBox(RuntimeValue* result, std::int32_t argCount, RuntimeValue* args);
void WaitCursor(RuntimeValue* result, std::int32_t argCount, RuntimeValue* args);
void RestoreCursor(RuntimeValue* result, std::int32_t argCount, RuntimeValue* args);

}  // namespace quillora
