// The picture commands in the runtime's one command shape, over the picture registry.
#pragma once

#include <cstdint>
#include <span>

#include "quillora/entry_table.h"

namespace quillora::runtime {

// LoadPicture(source) -> integer handle. A byte set is decoded as picture data, a text is a
// file name (Windows-style, on the drive map). 0 for an empty source, any other argument type
// and anything that is not a picture.
void loadPictureCommand(RuntimeValue* result, std::int32_t argCount, RuntimeValue* args);

// UnloadPicture(handle). A handle that is not registered is ignored.
void unloadPictureCommand(RuntimeValue* result, std::int32_t argCount, RuntimeValue* args);

// PicturePixelWidth(handle), PicturePixelHeight(handle) -> integer: the picture's own size in
// pixels, 0 for a handle that is not registered.
void picturePixelWidthCommand(RuntimeValue* result, std::int32_t argCount, RuntimeValue* args);
void picturePixelHeightCommand(RuntimeValue* result, std::int32_t argCount, RuntimeValue* args);

struct PictureCommandEntry {
    const char* name;
    CommandFunction function;
};

// The picture domain's command table.
std::span<const PictureCommandEntry> pictureCommands();

}  // namespace quillora::runtime
