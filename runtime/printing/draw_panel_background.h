// A drawing panel's background: its colour (an RGB value or one of the desktop's system colours)
// and its picture, laid out at the top-left corner, tiled, or centred.
#pragma once

#include <cstdint>

#include "platform/device_context.h"
#include "runtime/picture/picture_registry.h"

namespace quillora::platform {
class OffscreenSurface;
}

namespace quillora::runtime {

// A colour value with this bit set names system colour (value & 0xFF) instead of an RGB value.
inline constexpr std::uint32_t kSystemColourFlag = 0x80000000u;

// The RGB colour of a colour value: RGB values as they are (the high byte dropped), system
// colours from the desktop's palette; an unknown system colour is the face colour of buttons.
platform::ColourRef resolveColourValue(std::uint32_t value);

enum class BackgroundPictureMode : int {
    TopLeft = 0,
    Tiled = 1,
    Centred = 2,
};

BackgroundPictureMode backgroundPictureModeFromValue(std::int32_t value);

struct PictureBox {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

// Where a centred background picture lies: at its own size when it fits the client area,
// otherwise shrunk by the smaller of the ratios client ÷ picture (width and height; sides
// truncated) so that it fits; never enlarged. Then centred, the offsets truncated.
PictureBox centredPictureBox(int clientWidth, int clientHeight, int pictureWidth, int pictureHeight);

// Paints the whole surface: the colour, then the picture (if it is a registered handle) laid out
// by the mode. Transparent parts of icons show the colour.
void paintBackground(platform::OffscreenSurface& surface, platform::ColourRef colour, PictureHandle picture,
                     BackgroundPictureMode mode);

}  // namespace quillora::runtime
