// The binary form template data: how every window of the program, with its units and menu items,
// is stored. The form compiler (tools/form_compiler) writes it and the runtime
// (runtime/core/form_template.cpp) reads it; both take every constant from this header, which
// needs nothing but the standard library so that the host tool can include it.
//
// All numbers are little-endian. A "text" is a u32 byte length followed by that many bytes; a
// "string" is zero-terminated. Texts are UTF-8.
//
//   window directory   u32 L, then L bytes: W = L / 8 window ids, then W u32 slots (zero in
//                      storage; the runtime keeps its window objects there)
//   per window, in directory order:
//     u32 window word, u32 class id, text, text     carried along, not interpreted
//     u32 unit count n, u32 byte length B, then B bytes:
//        n unit ids, n u32 offsets, the record area; offset k locates unit k's record from the
//        start of the record area, and a record is a u32 length followed by that many bytes.
//        Unit 0 is always the window's own record.
//
//   unit record (the window's own record and every control):
//     u32 type code, u32 bindings source (a unit of the same kind whose event bindings this one
//     uses; 0 = its own), 16 reserved bytes, string name, string remark, u32 object slot,
//     i32 left, top, width, height (pixels, relative to the container's client area),
//     u32 cursor slot, u32 parent (unit id of the group box or tab the unit lies on; 0 = the
//     window), u32 child count m, m u32 child ids (a tab lists the children of page 1, a 0, the
//     children of page 2, ...), u32 cursor data length k, k bytes of cursor data (4 zero bytes =
//     the default cursor), string tag, u32 reserved, u32 state (the kUnit… bits), u32 focus order,
//     u32 binding count e, e × (i32 event number, u32 handler offset), 20 reserved bytes, and
//     the kind properties (see KindProperty) up to the end of the record.
//
//   menu item record:
//     u32 type code (menu), u32 bindings source, 16 reserved bytes, string name, string remark,
//     u32 shortcut key, u32 level (0 = top of the menu bar), u32 state (the kMenu… bits),
//     string caption ("-" = separator), u32 handler offset, 16 scratch bytes.
//
// A handler offset counts bytes from the program's code base, which is the application's table
// of event handlers: offset k × kHandlerSlotBytes binds entry k, kNoHandler binds nothing.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace quillora::form_format {

// --- ids ----------------------------------------------------------------------------------------

// Window ids are 0x5201nnnn.
inline constexpr std::uint32_t kWindowIdBase = 0x52010000u;
inline constexpr std::uint32_t kWindowIdMask = 0xFFFF0000u;

// Unit ids: the high nibble says what the unit is, the next nibble is always 6, then 0x01, then a
// 16-bit serial number.
enum class UnitIdClass : std::uint32_t {
    WindowRecord = 0,
    Control = 1,
    MenuItem = 2,
};

inline constexpr std::uint32_t kUnitIdMarker = 0x06010000u;

constexpr std::uint32_t makeWindowId(std::uint32_t serial)
{
    return kWindowIdBase | (serial & 0xFFFFu);
}

constexpr std::uint32_t makeUnitId(UnitIdClass idClass, std::uint32_t serial)
{
    return (static_cast<std::uint32_t>(idClass) << 28) | kUnitIdMarker | (serial & 0xFFFFu);
}

constexpr std::uint32_t unitIdClass(std::uint32_t unitId)
{
    return unitId >> 28;
}

// The runtime's test of a unit id: non-zero low 24 bits and a non-zero second nibble.
constexpr bool isValidUnitId(std::uint32_t unitId)
{
    return (unitId & 0x00FFFFFFu) != 0 && ((unitId >> 24) & 0xFu) != 0;
}

constexpr bool isMenuItemId(std::uint32_t unitId)
{
    return unitIdClass(unitId) == static_cast<std::uint32_t>(UnitIdClass::MenuItem) && ((unitId >> 24) & 0xFu) == 6;
}

constexpr bool isWindowId(std::uint32_t windowId)
{
    return (windowId & kWindowIdMask) == kWindowIdBase;
}

// Serial numbers are 16 bits, so a window holds at most this many records.
inline constexpr std::uint32_t kMaxUnitsPerWindow = 0x10000u;

// --- unit kinds -----------------------------------------------------------------------------------

// A unit's type code is (support library << 16) | type number.
enum class UnitKind : std::uint32_t {
    Window = 0x00010001u,
    Menu = 0x00010003u,
    EditBox = 0x00010005u,
    DrawPanel = 0x00010008u,
    GroupBox = 0x00010009u,
    Label = 0x0001000Au,
    Button = 0x0001000Bu,
    CheckBox = 0x0001000Cu,
    RadioBox = 0x0001000Du,
    ComboBox = 0x0001000Eu,
    ListBox = 0x0001000Fu,
    ProcessBar = 0x00010013u,
    SliderBar = 0x00010014u,
    Tab = 0x00010015u,
    CommonDlg = 0x0001001Fu,
    Printer = 0x00010021u,
    DataGrid = 0x00020001u,
    TreeBox = 0x00030001u,
    StatusBar = 0x00030002u,
    ListView = 0x00030004u,
    SuperBtn = 0x00040001u,
    CartoonBox = 0x00040008u,
    CartoonObject = 0x00040009u,
};

struct UnitKindName {
    UnitKind kind;
    std::string_view name;  // the name forms and the automation driver use
};

inline constexpr UnitKindName kUnitKindNames[] = {
    {UnitKind::Window, "window"},       {UnitKind::Menu, "menu"},
    {UnitKind::EditBox, "EditBox"},     {UnitKind::DrawPanel, "DrawPanel"},
    {UnitKind::GroupBox, "GroupBox"},   {UnitKind::Label, "Label"},
    {UnitKind::Button, "Button"},       {UnitKind::CheckBox, "CheckBox"},
    {UnitKind::RadioBox, "RadioBox"},   {UnitKind::ComboBox, "ComboBox"},
    {UnitKind::ListBox, "ListBox"},     {UnitKind::ProcessBar, "ProcessBar"},
    {UnitKind::SliderBar, "SliderBar"}, {UnitKind::Tab, "Tab"},
    {UnitKind::CommonDlg, "CommonDlg"}, {UnitKind::Printer, "printer"},
    {UnitKind::DataGrid, "DataGrid"},   {UnitKind::TreeBox, "TreeBox"},
    {UnitKind::StatusBar, "StatusBar"}, {UnitKind::ListView, "ListView"},
    {UnitKind::SuperBtn, "SuperBtn"},   {UnitKind::CartoonBox, "CartoonBox"},
    {UnitKind::CartoonObject, "CartoonObject"},
};

// The kind's name, or empty for a type code no kind has.
constexpr std::string_view unitKindName(std::uint32_t typeCode)
{
    for (const UnitKindName& entry : kUnitKindNames)
        if (static_cast<std::uint32_t>(entry.kind) == typeCode)
            return entry.name;
    return {};
}

// The type code of a kind name, or 0 when no kind has that name.
constexpr std::uint32_t unitKindCode(std::string_view name)
{
    for (const UnitKindName& entry : kUnitKindNames)
        if (entry.name == name)
            return static_cast<std::uint32_t>(entry.kind);
    return 0;
}

// --- record fields --------------------------------------------------------------------------------

// Unit state bits.
inline constexpr std::uint32_t kUnitVisible = 0x1;
inline constexpr std::uint32_t kUnitDisabled = 0x2;
inline constexpr std::uint32_t kUnitTabStop = 0x4;

// Menu item state bits.
// A hidden item is left out of the menu bar together with the deeper items after it.
inline constexpr std::uint32_t kMenuHidden = 0x1;
inline constexpr std::uint32_t kMenuDisabled = 0x2;  // grayed
inline constexpr std::uint32_t kMenuChecked = 0x4;

inline constexpr std::uint32_t kNoHandler = 0xFFFFFFFFu;
// One entry of the application's handler table is a function pointer.
inline constexpr std::uint32_t kHandlerSlotBytes = sizeof(void (*)());

inline constexpr std::size_t kUnitHeaderReservedBytes = 16;  // after type code and bindings source
inline constexpr std::size_t kUnitTrailerReservedBytes = 20; // after the event bindings
inline constexpr std::size_t kMenuScratchBytes = 16;
// The default mouse cursor is stored as four zero bytes.
inline constexpr std::uint32_t kDefaultCursorBytes = 4;

// --- kind properties ------------------------------------------------------------------------------
//
// The kind properties of a record are a sequence of entries, each a u32 tag, a u32 payload length
// and the payload. A tag appears at most once; readers skip tags they do not know, so a kind can
// gain properties without breaking older data. Payloads:
//
//   Text            the bytes of the text: the caption of windows, labels, buttons, check and
//                   radio boxes, group boxes and picture buttons; the initial text of edit boxes.
//                   Line breaks are "\n".
//   Items           u32 count, then count texts: combo box and list box items, tab pages.
//   TreeItems       u32 count, then per item: u32 level (1 = top level), i32 image index,
//                   i32 item value, text caption.
//   Tooltip         the bytes of the tooltip.
//   Range           i32 minimum, i32 maximum (sliders, progress bars).
//   Position        i32 (sliders, progress bars).
//   Checked         u32, 0 or 1 (check boxes, radio boxes).
//   SelectedIndex   i32, −1 = none (combo boxes, list boxes, tabs).
//   Alignment       u32 (Alignment).
//   Options         u32 bits, their meaning per kind (kWindow…, kEditBox…, kListView…).
//   Style           u32 (ListViewStyle for list views, ComboBoxStyle for combo boxes).
//   BackgroundMode  u32 (BackgroundMode, windows).
//   Font            i32 angle in tenths of a degree, u32 bold, u32 italic, u32 underline,
//                   u32 strike-out, i32 size in points, text face name.
enum class KindProperty : std::uint32_t {
    Text = 1,
    Items = 2,
    TreeItems = 3,
    Tooltip = 4,
    Range = 5,
    Position = 6,
    Checked = 7,
    SelectedIndex = 8,
    Alignment = 9,
    Options = 10,
    Style = 11,
    BackgroundMode = 12,
    Font = 13,
};

inline constexpr std::size_t kKindPropertyHeaderBytes = 8;

enum class Alignment : std::uint32_t {
    Left = 0,
    Centre = 1,
    Right = 2,
};

// Window options (the Options property of a window).
inline constexpr std::uint32_t kWindowMoveByDragging = 0x01;  // a press on the client area or a dragging unit moves it
inline constexpr std::uint32_t kWindowEnterMovesFocus = 0x02;
inline constexpr std::uint32_t kWindowEscCloses = 0x04;
inline constexpr std::uint32_t kWindowHelpKey = 0x08;  // F1 opens the help file
inline constexpr std::uint32_t kWindowTopmost = 0x10;

// Edit box options.
inline constexpr std::uint32_t kEditBoxMultiLine = 0x01;  // several lines; Enter breaks the line

// List view options.
inline constexpr std::uint32_t kListViewFullRowSelect = 0x01;
inline constexpr std::uint32_t kListViewGridLines = 0x02;

enum class ListViewStyle : std::uint32_t {
    Icon = 0,
    SmallIcon = 1,
    List = 2,
    Report = 3,
};

enum class ComboBoxStyle : std::uint32_t {
    DropDown = 0,      // an edit box with a list
    DropDownList = 1,  // choose from the list only
};

// How a window draws its background picture.
enum class BackgroundMode : std::uint32_t {
    TopLeft = 0,
    Tiled = 1,
    Stretched = 2,
    Centred = 3,
};

}  // namespace quillora::form_format
