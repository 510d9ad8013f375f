// Drawing a loaded picture into a rectangle of a device context: the one way drawing panels and
// printers put pictures on their surfaces.
#pragma once

#include <optional>

#include "platform/device_context.h"
#include "runtime/picture/picture_registry.h"

namespace quillora::runtime {

// A side of this value stands for the picture's own size in device pixels.
inline constexpr int kOwnPictureSide = -1;

// A part of a picture, in the picture's own (upright) pixels.
struct PicturePart {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

// Stretches picture `handle` into the rectangle of `width` × `height` device pixels whose
// top-left corner is at device pixel (x, y), with the raster operation `mode`. A side of
// kOwnPictureSide is the picture's own size on that axis. A reduction averages the source area
// of every target pixel (the look of a halftone stretch) and a large JPEG is decoded at a reduced
// size when that gives the same result. Icons and cursors keep their transparent parts, as the
// windowing system draws icons, whatever the mode.
//
// With `part`, only that part of the picture is stretched into the rectangle (a part reaching
// past the picture is cut to it), and a JPEG is decoded at the size the whole picture would have
// at that stretch, so the part has at least the destination's pixels.
//
// Nothing is drawn, and nothing is reported, for a handle that is not registered (0, made up,
// already unloaded), for a picture whose pixels cannot be produced, for a side that is 0 or
// negative (other than kOwnPictureSide), or for a part that lies outside the picture.
void drawDecodedPicture(PictureHandle handle, platform::DeviceContext& context, int x, int y, int width,
                        int height, platform::PictureRasterMode mode,
                        const std::optional<PicturePart>& part = std::nullopt);

}  // namespace quillora::runtime
