// The control units of the application's windows: button, picture button, check box, radio box,
// label, group box, tab, edit box, combo box, list box, slider and progress bar. Their kind
// properties are read and written through ReadUnitProperty / WriteUnitProperty; their methods are
// commands called through CallLibraryCommand with kControlUnitLibrary, the unit reference as
// argument 0.
//
// Property numbers. The enums below give each kind's own property indices; the number the entry
// table takes is kindProperty(index), that is index + 8 (0 to 7 are the properties every unit
// has: left, top, width, height, tag, visible, disabled, mouse cursor). Texts read are fresh
// blocks the caller frees; texts written are copied.
//
// Writing a property is what the program does, not what the user does: it raises no event,
// with one exception that the settings window relies on — writing an edit box's text raises
// "content changed" (event 0), as setting the text of a Windows edit control does.
//
// A method called on a unit that does not exist, whose window is not loaded or that is of
// another kind ends in the runtime error report "指定窗口或窗口组件不存在或尚未载入". Item
// indexes count from 0; an index outside the items is ignored (false, -1 or empty text).
#pragma once

#include <cstdint>

#include "quillora/runtime_value.h"

namespace quillora {

// The support library these kinds belong to (the picture button lives in library 4, but its
// methods are the button's).
inline constexpr std::int32_t kControlUnitLibrary = 1;

inline constexpr std::int32_t kKindPropertyBase = 8;
constexpr std::int32_t kindProperty(std::int32_t index)
{
    return kKindPropertyBase + index;
}

// --- kind properties --------------------------------------------------------------------------

enum ButtonProperty : std::int32_t {
    kButtonCaption = 0,  // text; "&x" marks the Alt mnemonic, "\n" breaks lines
};

enum PictureButtonProperty : std::int32_t {
    kPictureButtonCaption = 0,  // text
    kPictureButtonTooltip = 1,  // text; empty = no tooltip
};

enum CheckBoxProperty : std::int32_t {
    kCheckBoxCaption = 0,  // text
    kCheckBoxChecked = 1,  // bool
};

enum RadioBoxProperty : std::int32_t {
    kRadioBoxCaption = 0,  // text
    kRadioBoxChecked = 1,  // bool; writing true clears the other radio boxes of the same container
};

enum LabelProperty : std::int32_t {
    kLabelCaption = 0,    // text; "\n" breaks lines
    kLabelAlignment = 1,  // int: 0 left, 1 centre, 2 right
};

enum GroupBoxProperty : std::int32_t {
    kGroupBoxCaption = 0,  // text; empty = a frame without title
};

enum TabProperty : std::int32_t {
    kTabSelectedPage = 0,  // int, 0 = first page; writing shows that page's units
    kTabPageCount = 1,     // int, read only
};

enum EditBoxProperty : std::int32_t {
    kEditBoxText = 0,       // text; writing raises "content changed"
    kEditBoxReadOnly = 1,   // bool
    kEditBoxMaxLength = 2,  // int, characters; 0 = no limit (single-line boxes)
    kEditBoxAlignment = 3,  // int: 0 left, 1 centre, 2 right
    kEditBoxMultiLine = 4,  // bool, read only (the form's "multi-line" option)
};

enum ComboBoxProperty : std::int32_t {
    // text: the edit text of a drop-down box; for a drop-down list the selected item's text, and
    // writing selects the first item with exactly that text (nothing changes when none has it).
    kComboBoxText = 0,
    kComboBoxSelectedIndex = 1,  // int, -1 = none
    kComboBoxItemCount = 2,      // int, read only
};

enum ListBoxProperty : std::int32_t {
    kListBoxSelectedIndex = 0,  // int, -1 = none
    kListBoxSelectedText = 1,   // text of the selected item, empty when none; read only
    kListBoxItemCount = 2,      // int, read only
};

enum SliderBarProperty : std::int32_t {
    kSliderPosition = 0,  // int, kept within the range
    kSliderMinimum = 1,   // int
    kSliderMaximum = 2,   // int
    kSliderPageStep = 3,  // int, the step of a click beside the handle
};

enum ProcessBarProperty : std::int32_t {
    kProgressPosition = 0,  // int, kept within the range
    kProgressMinimum = 1,   // int
    kProgressMaximum = 2,   // int
};

// --- any control unit -------------------------------------------------------------------------

// (unit) -> bool: gives the unit the keyboard focus; false when it is hidden or disabled. The
// unit that had the focus raises "lost focus", this one "got focus".
void unitSetFocus(RuntimeValue* result, std::int32_t argCount, RuntimeValue* args);

// --- edit box -----------------------------------------------------------------------------------

// (edit box, text, ...) -> nothing: appends the texts at the end ("content changed" once).
void editBoxAddText(RuntimeValue* result, std::int32_t argCount, RuntimeValue* args);
// (edit box, start?, length?) -> nothing: selects `length` characters from `start` (0-based);
// no arguments, or a length of -1, select to the end.
void editBoxSelect(RuntimeValue* result, std::int32_t argCount, RuntimeValue* args);

// --- combo box ------------------------------------------------------------------------------------

// (combo box, text) -> int: the new item's index. Adding keeps the selection as it was (none
// stays none).
void comboBoxAddItem(RuntimeValue* result, std::int32_t argCount, RuntimeValue* args);
// (combo box, index, text) -> int: inserts before `index` (at the end when it is out of range);
// the new item's index.
void comboBoxInsertItem(RuntimeValue* result, std::int32_t argCount, RuntimeValue* args);
// (combo box, index) -> bool: removes the item; removing the selected one leaves none selected.
void comboBoxDeleteItem(RuntimeValue* result, std::int32_t argCount, RuntimeValue* args);
// (combo box) -> nothing: removes every item; none is selected and a drop-down list shows no text.
void comboBoxClearItems(RuntimeValue* result, std::int32_t argCount, RuntimeValue* args);
// (combo box) -> int.
void comboBoxItemCount(RuntimeValue* result, std::int32_t argCount, RuntimeValue* args);
// (combo box, index) -> text: empty outside the items.
void comboBoxItemText(RuntimeValue* result, std::int32_t argCount, RuntimeValue* args);
// (combo box, text, from?, whole text?) -> int: the first item at or after `from` (0) whose text
// begins with `text` — or equals it when `whole text` is true — ASCII letters compared without
// regard to case; -1 when none does.
void comboBoxFindItem(RuntimeValue* result, std::int32_t argCount, RuntimeValue* args);

// --- list box -------------------------------------------------------------------------------------

// The same operations on a list box.
void listBoxAddItem(RuntimeValue* result, std::int32_t argCount, RuntimeValue* args);
void listBoxInsertItem(RuntimeValue* result, std::int32_t argCount, RuntimeValue* args);
void listBoxDeleteItem(RuntimeValue* result, std::int32_t argCount, RuntimeValue* args);
void listBoxClearItems(RuntimeValue* result, std::int32_t argCount, RuntimeValue* args);
void listBoxItemCount(RuntimeValue* result, std::int32_t argCount, RuntimeValue* args);
void listBoxItemText(RuntimeValue* result, std::int32_t argCount, RuntimeValue* args);
void listBoxFindItem(RuntimeValue* result, std::int32_t argCount, RuntimeValue* args);

// --- tab ----------------------------------------------------------------------------------------

// (tab) -> int: the number of pages.
void tabPageCount(RuntimeValue* result, std::int32_t argCount, RuntimeValue* args);
// (tab, page) -> text: the page's caption; empty outside the pages.
void tabPageCaption(RuntimeValue* result, std::int32_t argCount, RuntimeValue* args);
// (tab, page, text) -> bool: renames the page.
void tabSetPageCaption(RuntimeValue* result, std::int32_t argCount, RuntimeValue* args);

}  // namespace quillora
