// What the control kinds (buttons, boxes, lists, sliders, tab) share: texts across the Qt edge,
// property payloads, the template font and alignment, the automation driver's arguments and
// typing, and finding the live unit a method is called on.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <Qt>
#include <QString>
#include <QStringList>

#include "quillora/runtime_value.h"
#include "runtime/core/error_report.h"
#include "runtime/units/unit.h"

class QWidget;

namespace quillora::runtime {

struct KindProperties;

// --- texts ------------------------------------------------------------------------------------

inline QString toQt(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

inline std::string fromQt(const QString& text)
{
    return text.toStdString();
}

// The text payload of a written property.
inline std::string_view payloadText(std::uint32_t low, std::uint32_t high)
{
    return asText(RuntimeValue{low, high, static_cast<std::uint32_t>(TypeCode::Text)});
}

// A text property value in a fresh caller-owned block.
RuntimeValue textValue(const QString& text);

// A caption as the driver prints it: line breaks and tabs written as \n and \t, so that every
// unit stays on one output line.
std::string escapedForDescription(const QString& text);

// The driver's line of the chosen item: "selected\tINDEX\tTEXT" preceded by "\n", with an empty
// text when the index names no item (-1, nothing chosen).
std::string describedSelection(const QStringList& items, int index);

// The texts of a list in the program's 8-bit text, in order.
std::vector<std::string> utf8Texts(const QStringList& texts);

// The driver's item lines: "item\tINDEX\tTEXT" for each item, each line preceded by "\n".
std::string describedItems(const QStringList& items);

// True when `text` begins with `prefix`, ASCII letters compared without regard to case; the bytes
// of multi-byte characters must match exactly.
bool startsWithIgnoringAsciiCase(std::string_view text, std::string_view prefix);

// The first item at or after `from` whose text equals `text` (wholeText) or begins with it,
// ASCII case ignored; -1 when none does.
int findItem(const QStringList& items, std::string_view text, int from, bool wholeText);

// --- template properties ------------------------------------------------------------------------

// Gives the widget the font the form names, or the units' default, 宋体 of 9 points. Every unit
// has a font of its own, as the forms describe it, rather than the window's. Sizes are points at 96
// dots per inch turned into pixels, so that a 9-point line is 12 pixels high on every screen and
// captions line up with the pixel positions of the forms.
void applyTemplateFont(QWidget& widget, const KindProperties& properties);

// The horizontal alignment of an alignment property value (0 left, 1 centre, 2 right; anything
// else reads as left).
Qt::Alignment horizontalAlignment(std::uint32_t alignment);
std::int32_t alignmentValue(Qt::Alignment alignment);

// --- automation -----------------------------------------------------------------------------------

// A whole decimal number (an optional minus sign, then digits only); nothing otherwise.
std::optional<int> parseWholeNumber(std::string_view text);

// "select N|TEXT": N when the argument is a whole number naming an item, else the first item
// whose text is exactly the argument; -1 when neither names one.
int itemForSelection(const QStringList& items, std::string_view argument);

// "tick 1|0", also "on|off" and "true|false"; nothing for anything else.
std::optional<bool> parseTick(std::string_view argument);

// A user can act on the control only while it is shown and enabled; otherwise says why.
bool userCanReach(const Unit& unit, std::string& problem);

// Gives the unit's control the keyboard focus as a click on it would, activating its window.
// False when the control is hidden or disabled.
bool focusControl(const Unit& unit, Qt::FocusReason reason);

// Types `text` into `target` as a keyboard would, after selecting everything in it so that the
// typing replaces the old text: one key press and release per character, through the window's
// and the unit's event filters (so character handlers may swallow or replace characters). Line
// breaks are typed as Enter only when `lineBreaksAsEnter`; otherwise they are left out. Empty
// text deletes the selection.
void typeReplacingText(QWidget& target, std::string_view text, bool lineBreaksAsEnter);

// --- methods ------------------------------------------------------------------------------------

inline constexpr std::string_view kMissingUnitMessage = "指定窗口或窗口组件不存在或尚未载入";

// The live unit a unit method is called on, as kind T. A missing unit, a window that is not
// loaded, or a unit of another kind ends in the runtime error report: a method has nothing
// sensible to act on, and going on would hide the fault.
template <typename T>
T& requireUnit(std::int32_t argCount, const RuntimeValue* args)
{
    T* unit = argCount >= 1 && args ? unitOf<T>(args[0]) : nullptr;
    if (!unit)
        reportRuntimeError(0, kMissingUnitMessage);
    return *unit;
}

}  // namespace quillora::runtime
