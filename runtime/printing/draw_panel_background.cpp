#include "runtime/printing/draw_panel_background.h"

#include "platform/offscreen_surface.h"
#include "runtime/picture/picture_drawing.h"

#include <QGuiApplication>
#include <QPalette>

#include <algorithm>
#include <array>
#include <exception>
#include <vector>

namespace quillora::runtime {
namespace {

// The system colours programs name by number, with the desktop palette role that plays the same
// part, and the colour of the classic desktop scheme for when there is no palette to ask.
struct SystemColour {
    std::uint32_t index;
    QPalette::ColorRole role;
    platform::ColourRef classic;
};

constexpr std::uint32_t kButtonFace = 15;

constexpr std::array<SystemColour, 21> kSystemColours = {{
    {0, QPalette::Button, platform::rgbColour(200, 200, 200)},          // scroll bar
    {1, QPalette::Dark, platform::rgbColour(0, 128, 128)},              // desktop
    {2, QPalette::Highlight, platform::rgbColour(0, 0, 128)},           // active caption
    {3, QPalette::Mid, platform::rgbColour(128, 128, 128)},             // inactive caption
    {4, QPalette::Window, platform::rgbColour(192, 192, 192)},          // menu
    {5, QPalette::Base, platform::rgbColour(255, 255, 255)},            // window
    {6, QPalette::Shadow, platform::rgbColour(0, 0, 0)},                // window frame
    {7, QPalette::WindowText, platform::rgbColour(0, 0, 0)},            // menu text
    {8, QPalette::Text, platform::rgbColour(0, 0, 0)},                  // window text
    {9, QPalette::HighlightedText, platform::rgbColour(255, 255, 255)}, // caption text
    {12, QPalette::Mid, platform::rgbColour(128, 128, 128)},            // application work space
    {13, QPalette::Highlight, platform::rgbColour(0, 0, 128)},          // highlight
    {14, QPalette::HighlightedText, platform::rgbColour(255, 255, 255)},// highlighted text
    {kButtonFace, QPalette::Button, platform::rgbColour(192, 192, 192)},// button face
    {16, QPalette::Dark, platform::rgbColour(128, 128, 128)},           // button shadow
    {17, QPalette::PlaceholderText, platform::rgbColour(128, 128, 128)},// grey text
    {18, QPalette::ButtonText, platform::rgbColour(0, 0, 0)},           // button text
    {20, QPalette::Light, platform::rgbColour(255, 255, 255)},          // button highlight
    {21, QPalette::Shadow, platform::rgbColour(0, 0, 0)},               // dark shadow
    {23, QPalette::ToolTipText, platform::rgbColour(0, 0, 0)},          // tooltip text
    {24, QPalette::ToolTipBase, platform::rgbColour(255, 255, 225)},    // tooltip background
}};

const SystemColour& systemColour(std::uint32_t index)
{
    const auto found = std::find_if(kSystemColours.begin(), kSystemColours.end(),
                                    [index](const SystemColour& entry) { return entry.index == index; });
    if (found != kSystemColours.end())
        return *found;
    return *std::find_if(kSystemColours.begin(), kSystemColours.end(),
                         [](const SystemColour& entry) { return entry.index == kButtonFace; });
}

platform::ColourRef blend(std::uint8_t blue, std::uint8_t green, std::uint8_t red, std::uint8_t alpha,
                          platform::ColourRef under)
{
    const auto mix = [alpha](int over, int below) {
        return static_cast<std::uint8_t>((over * alpha + below * (255 - alpha) + 127) / 255);
    };
    return platform::rgbColour(mix(red, static_cast<int>(under & 0xFF)),
                               mix(green, static_cast<int>((under >> 8) & 0xFF)),
                               mix(blue, static_cast<int>((under >> 16) & 0xFF)));
}

// Tiles are laid into one surface-sized image and drawn in one go: a small picture tiled over a
// page would otherwise take millions of drawing calls.
void paintTiles(platform::OffscreenSurface& surface, platform::ColourRef colour, PictureHandle picture)
{
    const std::optional<BgraImage> tile = pictureForDrawing(picture);
    if (!tile || tile->width <= 0 || tile->height <= 0
        || tile->pixels.size() / 4 / static_cast<std::size_t>(tile->width) < static_cast<std::size_t>(tile->height))
        return;
    const auto width = static_cast<std::size_t>(surface.width());
    const auto height = static_cast<std::size_t>(surface.height());
    const auto tileWidth = static_cast<std::size_t>(tile->width);
    const auto tileHeight = static_cast<std::size_t>(tile->height);
    std::vector<std::uint8_t> tiled(width * height * 4);
    for (std::size_t y = 0; y < height; ++y) {
        const std::uint8_t* tileRow = tile->pixels.data() + (y % tileHeight) * tileWidth * 4;
        std::uint8_t* out = tiled.data() + y * width * 4;
        for (std::size_t x = 0; x < width; ++x, out += 4) {
            const std::uint8_t* in = tileRow + (x % tileWidth) * 4;
            const platform::ColourRef shown = blend(in[0], in[1], in[2], in[3], colour);
            out[0] = static_cast<std::uint8_t>(shown >> 16);
            out[1] = static_cast<std::uint8_t>(shown >> 8);
            out[2] = static_cast<std::uint8_t>(shown);
        }
    }
    platform::PictureView view;
    view.pixels = tiled.data();
    view.width = surface.width();
    view.height = surface.height();
    view.stride = static_cast<std::ptrdiff_t>(width * 4);
    view.format = platform::PictureFormat::Bgrx32;
    platform::DeviceContext context(surface);
    context.drawPicture(view, 0, 0, surface.width(), surface.height(), platform::PictureRasterMode::Copy);
}

}  // namespace

platform::ColourRef resolveColourValue(std::uint32_t value)
{
    if ((value & kSystemColourFlag) == 0)
        return value & 0x00FFFFFFu;
    const SystemColour& entry = systemColour(value & 0xFFu);
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        return entry.classic;
    const QColor colour = QGuiApplication::palette().color(QPalette::Active, entry.role);
    return platform::rgbColour(static_cast<std::uint8_t>(colour.red()), static_cast<std::uint8_t>(colour.green()),
                               static_cast<std::uint8_t>(colour.blue()));
}

BackgroundPictureMode backgroundPictureModeFromValue(std::int32_t value)
{
    return static_cast<BackgroundPictureMode>(std::clamp(value, 0, 2));
}

PictureBox centredPictureBox(int clientWidth, int clientHeight, int pictureWidth, int pictureHeight)
{
    if (clientWidth <= 0 || clientHeight <= 0 || pictureWidth <= 0 || pictureHeight <= 0)
        return {};
    std::int64_t width = pictureWidth;
    std::int64_t height = pictureHeight;
    if (pictureWidth > clientWidth || pictureHeight > clientHeight) {
        // The smaller ratio is compared in whole numbers (cw ÷ pw ≤ ch ÷ ph exactly when
        // cw × ph ≤ ch × pw), so a picture of the client's proportions fills it exactly.
        if (std::int64_t{clientWidth} * pictureHeight <= std::int64_t{clientHeight} * pictureWidth) {
            width = clientWidth;
            height = std::int64_t{pictureHeight} * clientWidth / pictureWidth;
        } else {
            height = clientHeight;
            width = std::int64_t{pictureWidth} * clientHeight / pictureHeight;
        }
    }
    PictureBox box;
    box.width = static_cast<int>(width);
    box.height = static_cast<int>(height);
    box.x = static_cast<int>((clientWidth - width) / 2);
    box.y = static_cast<int>((clientHeight - height) / 2);
    return box;
}

void paintBackground(platform::OffscreenSurface& surface, platform::ColourRef colour, PictureHandle picture,
                     BackgroundPictureMode mode)
{
    if (surface.isEmpty())
        return;
    surface.fill(colour);
    if (!isLoadedPicture(picture))
        return;
    try {
        platform::DeviceContext context(surface);
        switch (mode) {
        case BackgroundPictureMode::TopLeft:
            drawDecodedPicture(picture, context, 0, 0, kOwnPictureSide, kOwnPictureSide,
                               platform::PictureRasterMode::Copy);
            break;
        case BackgroundPictureMode::Tiled:
            paintTiles(surface, colour, picture);
            break;
        case BackgroundPictureMode::Centred: {
            const PictureBox box =
                centredPictureBox(surface.width(), surface.height(), pictureWidth(picture), pictureHeight(picture));
            if (box.width > 0 && box.height > 0)
                drawDecodedPicture(picture, context, box.x, box.y, box.width, box.height,
                                   platform::PictureRasterMode::Copy);
            break;
        }
        }
    } catch (const std::exception&) {
        // Without memory for the laid-out picture the background stays plain colour.
    }
}

}  // namespace quillora::runtime
