// The drawing panel unit (DrawPanel): a window-backed drawing surface with a persistent
// off-screen bitmap. Its kind properties are read and written through ReadUnitProperty /
// WriteUnitProperty; its methods are commands called through CallLibraryCommand with
// kDrawPanelLibrary, the unit reference as argument 0.
//
// Coordinates and sizes are logical units of the panel's scale mode, 0,0 at the top-left
// corner of the panel's client area and y growing downward. Optional arguments ("?") may be left
// out or passed as a record of type 0. A method called on something that is not a live drawing
// panel does nothing and returns 0 or an empty byte set.
//
// Auto-redraw. With auto-redraw on, what is drawn is kept in the panel's persistent bitmap; the
// window repaints from it and GetPicture takes pictures out of it. With auto-redraw off the panel
// still shows what was drawn, but there is no persistent bitmap to take a picture from. Turning
// auto-redraw on keeps what the panel shows as the start of the bitmap.
//
// Background. The background colour, the background picture and its mode are the panel's
// background: Clear paints it, and writing any of the three repaints the whole panel with it
// (what was drawn is erased). A background picture is decoded when the panel is next painted or
// drawn on; data that is not a picture leaves the background colour alone. When the panel grows,
// the new area is filled with the background colour.
#pragma once

#include <cstdint>

#include "quillora/runtime_value.h"

namespace quillora {

inline constexpr std::int32_t kDrawPanelLibrary = 1;

// Kind property indices; the number the entry table takes is the index + 8 (0 to 7 are the
// properties every unit has). Numbers outside a property's range are clamped into it.
enum DrawPanelProperty : std::int32_t {
    kDrawPanelBorderStyle = 0,              // int 0..5: none, line, sunken, raised, thin sunken, etched
    kDrawPanelBackgroundColour = 1,         // int: 0x00BBGGRR, or 0x80000000 | n for system colour n
    kDrawPanelBackgroundPicture = 2,        // byte set: picture file data; empty = none
    kDrawPanelBackgroundPictureMode = 3,    // int 0..2: top-left, tiled, centred (shrunk to fit, never enlarged)
    kDrawPanelAutoRedraw = 4,               // bool
    kDrawPanelScaleMode = 5,                // int 0..5: pixel, 0.1 mm, 0.01 mm, 0.01 inch, 0.001 inch, twip
    kDrawPanelPenType = 6,                  // int 0..6: solid, dash, dot, dash-dot, dash-dot-dot, none, inside frame
    kDrawPanelDrawMode = 7,                 // int 0..15: raster operation code - 1 of lines and shapes
    kDrawPanelPenWidth = 8,                 // int 0..32767, logical units
    kDrawPanelPenColour = 9,                // int 0x00BBGGRR
    kDrawPanelBrushType = 10,               // int 0..55: 0 solid, 1 transparent, 2..7 hatches
    kDrawPanelBrushColour = 11,             // int 0x00BBGGRR
    kDrawPanelTextColour = 12,              // int 0x00BBGGRR
    kDrawPanelTextBackground = 13,          // int 0x00BBGGRR; 0xFF000000 = transparent (the default)
    kDrawPanelFont = 14,                    // font: write member -1 with a FontValue*, or one member
                                            // (5 = size in points); reads as the size in points
    kDrawPanelBitmapWidth = 15,             // int, read only: the persistent bitmap's width in pixels
    kDrawPanelBitmapHeight = 16,            // int, read only: its height (0 × 0 when it has none)
};

// The most pixels a panel's persistent bitmap holds: 128 megapixels, 512 MB at four bytes a
// pixel (and the most a BMP file the bitmap object reads back may have). A panel made larger
// than that keeps the bitmap it had, of its former size: kDrawPanelBitmapWidth and
// kDrawPanelBitmapHeight tell what the bitmap really is after a change of the panel's size.
inline constexpr std::int64_t kDrawPanelMostBitmapPixels = std::int64_t{128} * 1024 * 1024;

// (panel, left?, top?, width?, height?) — paints the rectangle (default: the whole client area)
// with the background and moves the current position to its top-left corner.
void drawPanelClear(RuntimeValue* result, std::int32_t argCount, RuntimeValue* args);
// (panel, picture handle, x, y, width?, height?, mode?, part x?, part y?, part width?,
// part height?) — draws the picture stretched into the rectangle; an absent side is the picture's
// own pixel size. Mode 1 copy (absent), 2 inverted copy, 3 exclusive-or, 4 or, 5 and. With the
// four part numbers (in the picture's own pixels) only that part of the picture is stretched into
// the rectangle; a part outside the picture draws nothing. A handle that is not registered draws
// nothing.
void drawPanelDrawPicture(RuntimeValue* result, std::int32_t argCount, RuntimeValue* args);
// (panel, x?, y?, values...) — writes each value (converted to text as ToText does) with the
// top-left corner of its first line at x, y (absent: the current position). Lines break at CR,
// LF and CR LF; each next line lies the line's height + 2 device pixels lower (an empty line
// counts the height of "W"), and each further value starts on a line of its own. The current
// position does not move.
void drawPanelWriteTextAt(RuntimeValue* result, std::int32_t argCount, RuntimeValue* args);
// (panel, text) -> int: the width and the height of the text in the panel's font.
void drawPanelTextWidth(RuntimeValue* result, std::int32_t argCount, RuntimeValue* args);
void drawPanelTextHeight(RuntimeValue* result, std::int32_t argCount, RuntimeValue* args);
// (panel, picture handle) -> int: the picture's pixel size in the panel's logical units; 0 for
// a handle that is not registered.
void drawPanelPictureWidth(RuntimeValue* result, std::int32_t argCount, RuntimeValue* args);
void drawPanelPictureHeight(RuntimeValue* result, std::int32_t argCount, RuntimeValue* args);
// (panel, width?, height?) -> byte set: the persistent bitmap as a 24-bit BMP file. A side that
// is absent or 0 is the bitmap's own; -p is p per cent of it (at least 10 per cent); any other
// value is the side in pixels, the content being stretched. Empty when auto-redraw is off or a
// side comes out below one pixel.
void drawPanelGetPicture(RuntimeValue* result, std::int32_t argCount, RuntimeValue* args);
// (panel) -> byte set: the picture GetPicture gives at the bitmap's own size, after which the
// panel is cleared as a Clear without arguments clears it. For a page that is finished: the
// bitmap's memory is given back as its picture is made, so the two are never both held whole.
void drawPanelHandOverPicture(RuntimeValue* result, std::int32_t argCount, RuntimeValue* args);

}  // namespace quillora
