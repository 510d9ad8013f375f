// Drawing a loaded picture into a rectangle of a device context: the one way drawing panels and
// printers put pictures on their surfaces.
#pragma once

#include "platform/device_context.h"
#include "runtime/picture/picture_registry.h"

namespace quillora::runtime {

// A side of this value stands for the picture's own size in device pixels.
inline constexpr int kOwnPictureSide = -1;

// Stretches picture `handle` into the rectangle of `width` × `height` device pixels whose
// top-left corner is at device pixel (x, y), with the raster operation `mode`. A side of
// kOwnPictureSide is the picture's own size on that axis. A reduction averages the source area
// of every target pixel (the look of a halftone stretch) and a large JPEG is decoded at a reduced
// size when that gives the same result. Icons and cursors keep their transparent parts, as the
// windowing system draws icons, whatever the mode.
//
// Nothing is drawn, and nothing is reported, for a handle that is not registered (0, made up,
// already unloaded), for a picture whose pixels cannot be produced, or for a side that is 0 or
// negative (other than kOwnPictureSide).
void drawDecodedPicture(PictureHandle handle, platform::DeviceContext& context, int x, int y, int width,
                        int height, platform::PictureRasterMode mode);

}  // namespace quillora::runtime
