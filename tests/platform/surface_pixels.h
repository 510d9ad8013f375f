// Reading and searching the pixels of an off-screen surface in tests.
#pragma once

#include "platform/offscreen_surface.h"

#include <QRect>

namespace quillora::platform::test {

inline ColourRef pixelAt(const OffscreenSurface& surface, int x, int y)
{
    const std::uint8_t* pixel = surface.pixels() + y * surface.stride() + x * 4;
    return rgbColour(pixel[2], pixel[1], pixel[0]);
}

inline std::uint8_t fourthByteAt(const OffscreenSurface& surface, int x, int y)
{
    return surface.pixels()[y * surface.stride() + x * 4 + 3];
}

// The bounding box of every pixel that is not `background`; empty when there is none.
inline QRect inkBounds(const OffscreenSurface& surface, ColourRef background)
{
    QRect bounds;
    for (int y = 0; y < surface.height(); ++y)
        for (int x = 0; x < surface.width(); ++x)
            if (pixelAt(surface, x, y) != background)
                bounds |= QRect(x, y, 1, 1);
    return bounds;
}

// How many pixels of the surface have exactly this colour.
inline int countPixels(const OffscreenSurface& surface, ColourRef colour)
{
    int count = 0;
    for (int y = 0; y < surface.height(); ++y)
        for (int x = 0; x < surface.width(); ++x)
            count += pixelAt(surface, x, y) == colour;
    return count;
}

}  // namespace quillora::platform::test
