// The picture commands: pictures loaded from files or picture data into the runtime's picture
// registry, named by opaque handles (0 = no picture). Called through CallCoreCommand.
#pragma once

#include <cstdint>

#include "quillora/runtime_value.h"

namespace quillora {

// (source) -> int handle. A byte set is decoded as picture data, a text is a file name
// (Windows-style, on the drive map). 0 for an empty source, any other argument type and anything
// that is not a picture.
void LoadPicture(RuntimeValue* result, std::int32_t argCount, RuntimeValue* args);

// (name) -> nothing. Tells the runtime that the picture file of this name (as LoadPicture takes
// it) will probably be loaded and drawn soon, after the ones named before it: it may read and
// decode the file on another core meanwhile. What loading and drawing give is the same either
// way; only the time they take changes. Anything but a text is ignored.
// (name, zoom) -> nothing. The same for a file whose bytes the application will read itself and
// give as picture data, to be drawn at `zoom` per mille of the picture's size (an animation
// object's zoom); a zoom below 1 is the same as none.
void ReadPictureAhead(RuntimeValue* result, std::int32_t argCount, RuntimeValue* args);

// (handle) -> nothing. A handle that is not registered is ignored.
void UnloadPicture(RuntimeValue* result, std::int32_t argCount, RuntimeValue* args);

// (name) -> date-time: when the picture in the file of this name (as LoadPicture takes it) was
// taken, on the local wall clock: the EXIF DateTimeOriginal of a JPEG, else its DateTime, else
// the file's modification time. The int 0 when there is no such file or the argument is not a
// text. A file loaded or read ahead before, and unchanged since, is not read again for it.
void PictureTakenTime(RuntimeValue* result, std::int32_t argCount, RuntimeValue* args);

// (handle) -> int: the picture's own size in pixels, 0 for a handle that is not registered.
void PicturePixelWidth(RuntimeValue* result, std::int32_t argCount, RuntimeValue* args);
void PicturePixelHeight(RuntimeValue* result, std::int32_t argCount, RuntimeValue* args);

}  // namespace quillora
