// The methods of the tree box, the list view and the status bar (extended interface library 1).
// Every one is a command called through CallLibraryCommand with kListUnitLibrary, the unit
// reference as argument 0; optional arguments (marked "?") may be left out or passed as a record
// of type 0. Texts returned are fresh blocks the caller frees; texts passed are copied.
//
// A method called on a unit that does not exist, whose window is not loaded or that is of
// another kind ends in the runtime error report "指定窗口或窗口组件不存在或尚未载入". An index
// outside the items, rows, columns or parts is ignored: the method returns false, -1, 0 or the
// empty text and changes nothing.
//
// Tree box item indexes. The items of a tree box are numbered as a Windows tree box numbers
// them: in tree order (pre-order), from 0, over the whole tree, collapsed branches included. An
// item is followed by its children, each child by its own subtree, and then by its next sibling:
//
//     0 桌面
//     1   first          (a child of item 0)
//     2     deeper       (a child of item 1)
//     3   second         (a child of item 0)
//     4 我的文档
//
// Indexes are positions, not names: adding an item gives it the index that follows its parent's
// last descendant and shifts every later item up by one; deleting an item and its n descendants
// shifts every later item down by n + 1. So the descendants of item i are the items i + 1,
// i + 2, ... whose level is greater than i's, up to the first item whose level is not, and a
// caller that deletes several items deletes them from the highest index to the lowest.
// Levels count from 1 for the top-level items.
#pragma once

#include <cstdint>

#include "quillora/entry_table.h"
#include "quillora/runtime_value.h"

namespace quillora {

// The support library of the tree box (type 1), the status bar (type 2) and the list view (type 4).
inline constexpr std::int32_t kListUnitLibrary = 3;

// --- tree box -----------------------------------------------------------------------------------
//
// The tree box raises event 0 (current item changed, kEventCurrentItemChanged) with one argument,
// the new current item's index, whenever the selected item changes: by the user's click or keys,
// by treeBoxSetCurrentItem, or by deleting the selected item when another becomes selected. The
// current item is the selected item; a tree in which nothing has been chosen yet has none.
//
// Image indexes: 0 desktop, 1 documents, 2 removable drive, 3 fixed drive, 4 CD drive, 5 folder,
// 6 network drive, 7 RAM disk; any other index shows no picture.

// (tree box) -> int: the current item, -1 when none.
void treeBoxCurrentItem(RuntimeValue* result, std::int32_t argCount, RuntimeValue* args);
// (tree box, index) -> bool: makes the item current (its ancestors expanded so that it shows);
// -1 leaves no item current.
void treeBoxSetCurrentItem(RuntimeValue* result, std::int32_t argCount, RuntimeValue* args);
// (tree box) -> int: the number of items in the whole tree.
void treeBoxItemCount(RuntimeValue* result, std::int32_t argCount, RuntimeValue* args);
// (tree box, index) -> int: the item's level, 1 for a top-level item; 0 outside the items.
void treeBoxItemLevel(RuntimeValue* result, std::int32_t argCount, RuntimeValue* args);
// (tree box, index) -> text: the item's caption.
void treeBoxItemText(RuntimeValue* result, std::int32_t argCount, RuntimeValue* args);
// (tree box, index) -> int: the item's value.
void treeBoxItemValue(RuntimeValue* result, std::int32_t argCount, RuntimeValue* args);
// (tree box, index) -> int: the item's image index; -1 outside the items.
void treeBoxItemImage(RuntimeValue* result, std::int32_t argCount, RuntimeValue* args);
// (tree box, index) -> bool: the item has at least one child.
void treeBoxHasChildren(RuntimeValue* result, std::int32_t argCount, RuntimeValue* args);
// (tree box, index) -> int: the item's parent; -1 for a top-level item.
void treeBoxParentItem(RuntimeValue* result, std::int32_t argCount, RuntimeValue* args);
// (tree box, parent?, caption, image?, value?) -> int: adds an item as the last child of
// `parent` (a parent left out or below 0 adds a top-level item after the last one) and returns
// its index; -1 when the parent is not an item. The image defaults to none, the value to 0.
void treeBoxAddItem(RuntimeValue* result, std::int32_t argCount, RuntimeValue* args);
// (tree box, index) -> bool: deletes the item together with all its descendants.
void treeBoxDeleteItem(RuntimeValue* result, std::int32_t argCount, RuntimeValue* args);
// (tree box) -> nothing: deletes every item.
void treeBoxClear(RuntimeValue* result, std::int32_t argCount, RuntimeValue* args);
// (tree box, index) -> bool: shows the item's children.
void treeBoxExpand(RuntimeValue* result, std::int32_t argCount, RuntimeValue* args);
// (tree box, index) -> bool: hides the item's children.
void treeBoxCollapse(RuntimeValue* result, std::int32_t argCount, RuntimeValue* args);

// --- list view ----------------------------------------------------------------------------------
//
// A list view in report style: a header of titled columns over rows of text cells. Rows and
// columns count from 0. Cell 0 of a row is its caption. Alignments: 0 left, 1 centre, 2 right.
// Rows are kept by the unit at once; the control shows newly appended rows at the next point
// where events are processed (at most ten times a second while rows keep coming), so appending
// many rows costs the same per row however long the list already is.

// (list view, position?, title?, width?, alignment?) -> int: inserts a column before `position`
// (left out, below 0 or beyond the last column: at the end) and returns its index. The width is
// in pixels (default 50), the alignment applies to the title and the cells.
void listViewInsertColumn(RuntimeValue* result, std::int32_t argCount, RuntimeValue* args);
// (list view, column) -> bool: deletes the column and its cells.
void listViewDeleteColumn(RuntimeValue* result, std::int32_t argCount, RuntimeValue* args);
// (list view) -> int.
void listViewColumnCount(RuntimeValue* result, std::int32_t argCount, RuntimeValue* args);
// (list view, column) -> text: the column's title.
void listViewColumnTitle(RuntimeValue* result, std::int32_t argCount, RuntimeValue* args);
// (list view, position?, caption?) -> int: inserts a row before `position` (left out, below 0 or
// beyond the last row: at the end) with `caption` in cell 0, and returns its index.
void listViewInsertRow(RuntimeValue* result, std::int32_t argCount, RuntimeValue* args);
// (list view, row) -> bool: deletes the row.
void listViewDeleteRow(RuntimeValue* result, std::int32_t argCount, RuntimeValue* args);
// (list view) -> nothing: deletes every row; the columns stay.
void listViewDeleteAllRows(RuntimeValue* result, std::int32_t argCount, RuntimeValue* args);
// (list view) -> int: the number of rows, those not shown yet included.
void listViewRowCount(RuntimeValue* result, std::int32_t argCount, RuntimeValue* args);
// (list view, row, column, text) -> bool: sets the text of a cell; false for a row or column
// that does not exist.
void listViewSetCellText(RuntimeValue* result, std::int32_t argCount, RuntimeValue* args);
// (list view, row, column) -> text: the text of a cell.
void listViewCellText(RuntimeValue* result, std::int32_t argCount, RuntimeValue* args);
// (list view) -> int: the current (selected) row, -1 when none.
void listViewCurrentRow(RuntimeValue* result, std::int32_t argCount, RuntimeValue* args);
// (list view, row) -> bool: selects the row and scrolls it into view; -1 selects none.
void listViewSetCurrentRow(RuntimeValue* result, std::int32_t argCount, RuntimeValue* args);

// --- status bar ---------------------------------------------------------------------------------
//
// A status bar is a row of parts, each with a text. It starts with one part, part 0, that takes
// the whole width and shows the form's text. A part has a width in pixels, or takes whatever the
// parts of fixed width leave (width -1).

// (status bar, part, text) -> bool: sets the part's text.
void statusBarSetPartText(RuntimeValue* result, std::int32_t argCount, RuntimeValue* args);
// (status bar, part) -> text.
void statusBarPartText(RuntimeValue* result, std::int32_t argCount, RuntimeValue* args);
// (status bar) -> int: the number of parts.
void statusBarPartCount(RuntimeValue* result, std::int32_t argCount, RuntimeValue* args);
// (status bar, position?, width?) -> int: inserts an empty part before `position` (left out,
// below 0 or beyond the last part: at the end) with `width` pixels (left out or -1: the rest),
// and returns its index.
void statusBarInsertPart(RuntimeValue* result, std::int32_t argCount, RuntimeValue* args);
// (status bar, part) -> bool: deletes the part; the parts after it move down by one.
void statusBarDeletePart(RuntimeValue* result, std::int32_t argCount, RuntimeValue* args);

}  // namespace quillora
