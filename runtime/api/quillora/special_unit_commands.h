// The units that do their work out of sight: the common dialog (used as the font dialog), the
// animation box and its animation objects. Their kind properties are read and written through
// ReadUnitProperty / WriteUnitProperty with kindProperty(index) (see control_unit_commands.h);
// their methods are commands called through CallLibraryCommand, the unit reference as argument 0.
//
// Unlike the control units, a method called on a unit that does not exist, whose window is not
// loaded or that is of another kind does nothing and returns zero, false or an empty value.
#pragma once

#include <cstdint>

#include "quillora/runtime_value.h"

namespace quillora {

// The support libraries the kinds belong to: the common dialog is a core kind, the animation box
// and its objects come with the second extended interface library.
inline constexpr std::int32_t kCommonDialogLibrary = 1;
inline constexpr std::int32_t kAnimationLibrary = 4;

// --- common dialog ----------------------------------------------------------------------------

// The dialog types a common dialog can be set to. Only the font dialog opens; the others are
// accepted as values but opening them reports "not confirmed".
enum CommonDialogType : std::int32_t {
    kCommonDialogOpenFile = 0,
    kCommonDialogSaveFile = 1,
    kCommonDialogFont = 2,
    kCommonDialogColour = 3,
};

enum CommonDialogProperty : std::int32_t {
    kCommonDialogType = 0,           // int, a CommonDialogType
    kCommonDialogTitle = 1,          // text; empty = the dialog's own title
    kCommonDialogFontName = 2,       // text: the face name, preset before opening, chosen after
    kCommonDialogFontSize = 3,       // int, points
    kCommonDialogFontBold = 4,       // bool
    kCommonDialogFontItalic = 5,     // bool
    kCommonDialogFontUnderline = 6,  // bool
    kCommonDialogFontStrikeOut = 7,  // bool
};

// (common dialog) -> bool: opens the dialog of the set type and waits for the user. True when
// the user confirmed; the font properties then hold the choice. When the dialog is cancelled
// they keep the preset values, so reading them back changes nothing.
void commonDialogOpen(RuntimeValue* result, std::int32_t argCount, RuntimeValue* args);

// --- animation object (a template, never shown) ------------------------------------------------

enum AnimationObjectProperty : std::int32_t {
    kAnimationObjectPicture = 0,         // byte set: picture data the objects made from it show
    kAnimationObjectZoomHorizontal = 1,  // int, per mille (1000 = the picture's own size)
    kAnimationObjectZoomVertical = 2,    // int, per mille
};

// --- animation box ------------------------------------------------------------------------------
//
// The box holds numbered objects, each a picture drawn at a position and a zoom; later objects
// are drawn over earlier ones. The box draws the same whether it is shown or hidden, so a hidden
// box serves to scale pictures. Its width and height are the common properties 2 and 3.

enum AnimationBoxProperty : std::int32_t {
    kAnimationBoxBackground = 0,   // int, colour 0x00BBGGRR; white at first
    kAnimationBoxObjectCount = 1,  // int, read only
};

// (box, template object, x: int, y: int) -> int: a new object made from the template (its
// picture and zoom) with its top-left corner at (x, y) in the box; its number, 1 and up, or 0
// when the template is not an animation object.
void animationBoxCreateObject(RuntimeValue* result, std::int32_t argCount, RuntimeValue* args);
// (box, object: int, picture data: byte set) -> bool: the object shows the picture. Data that
// is not a picture leaves the object without one (false), never with the picture it had.
void animationBoxSetObjectPicture(RuntimeValue* result, std::int32_t argCount, RuntimeValue* args);
// (box, object: int, horizontal: int, vertical: int) -> bool: the object's zoom in per mille.
// A zoom below 1 is refused (false) and the zoom stays as it was.
void animationBoxSetObjectZoom(RuntimeValue* result, std::int32_t argCount, RuntimeValue* args);
// (box, object: int) -> int: the object's drawn size in pixels, the picture's size times the zoom
// divided by 1000, truncated; 0 for an object without a picture or a number no object has.
void animationBoxObjectWidth(RuntimeValue* result, std::int32_t argCount, RuntimeValue* args);
void animationBoxObjectHeight(RuntimeValue* result, std::int32_t argCount, RuntimeValue* args);
// (box, left: int, top: int, width: int, height: int) -> byte set: what the box shows in that
// area as a BMP file (24 bits per pixel), exactly width x height pixels; parts of the area
// outside the box show the background colour. Empty for an area without pixels or one larger
// than the box can render.
void animationBoxTakePicture(RuntimeValue* result, std::int32_t argCount, RuntimeValue* args);

}  // namespace quillora
