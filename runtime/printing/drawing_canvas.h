// The drawing state and placement rules that the drawing panel and the printer share: scale
// mode, pen, brush, colours, draw mode, font and current position, and how pictures and lines
// of text are placed in logical units. The two units differ only in the rule that turns a font
// record's size into a character height, and in the printer's margin offset.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/device_context.h"
#include "quillora/runtime_value.h"
#include "runtime/core/form_template.h"
#include "runtime/picture/picture_drawing.h"
#include "runtime/picture/picture_registry.h"

namespace quillora::runtime {

class DrawingCanvas {
public:
    // Panels convert a font's display height by the panel factors, printers by the printer
    // factors and the printer's resolution (platform/device_fonts.h has both tables).
    enum class FontRule { Panel, Printer };

    // The shared properties in their common order, as offsets from the unit's scale mode
    // property.
    enum StateProperty : std::int32_t {
        kScaleMode = 0,
        kPenType = 1,
        kDrawMode = 2,
        kPenWidth = 3,
        kPenColour = 4,
        kBrushType = 5,
        kBrushColour = 6,
        kTextColour = 7,
        kTextBackground = 8,
        kFont = 9,
        kStatePropertyCount = 10,
    };

    DrawingCanvas(FontRule rule, platform::ColourRef textBackground);

    // The font the unit's template record gives, when it gives one.
    void takeTemplateFont(const std::optional<FontTemplate>& font);

    // Reads and writes one shared property (offset as above); values outside a property's range
    // are clamped. Nothing / false for another offset.
    std::optional<RuntimeValue> readState(std::int32_t offset) const;
    bool writeState(std::int32_t offset, std::int32_t member, std::uint32_t payloadLow, std::uint32_t payloadHigh);

    // The logical offset added to every drawing coordinate (the printer's margins).
    void setOrigin(int x, int y);

    // Gives the context the canvas's scale mode, pen, brush, colours, draw mode and font.
    void applyTo(platform::DeviceContext& context, double displayDotsPerInch) const;
    // The character height of the font in logical units of the scale mode on a device of the
    // given vertical resolution.
    int fontHeight(double displayDotsPerInch, double deviceDotsPerInchY) const;

    // Drawing on a context the state has been applied to. The picture (or only `part` of it, in
    // its own pixels) is stretched into the rectangle (its own pixel size on an absent side);
    // false when nothing was drawn.
    bool drawPicture(platform::DeviceContext& context, PictureHandle picture, int x, int y,
                     std::optional<int> width, std::optional<int> height, int mode,
                     const std::optional<PicturePart>& part = std::nullopt) const;
    // Writes the texts line by line from (x, y) (absent: the current position), each next line
    // the line's height + 2 device pixels lower. `beforeLine` runs before every line; when it
    // returns false writing stops at once and the context is not touched again.
    void writeTextAt(platform::DeviceContext& context, std::optional<int> x, std::optional<int> y,
                     std::span<const std::string> texts, const std::function<bool()>& beforeLine = {}) const;
    platform::TextExtent textExtent(platform::DeviceContext& context, std::string_view text) const;
    int pictureWidthInUnits(const platform::DeviceContext& context, PictureHandle picture) const;
    int pictureHeightInUnits(const platform::DeviceContext& context, PictureHandle picture) const;

    platform::ScaleMode scaleMode() const { return scaleMode_; }
    std::int32_t fontSizePoints() const { return font_.sizePoints; }
    int currentX() const { return currentX_; }
    int currentY() const { return currentY_; }
    void setCurrentPosition(int x, int y)
    {
        currentX_ = x;
        currentY_ = y;
    }

private:
    struct FontState {
        std::int32_t angleTenths = 0;
        bool bold = false;
        bool italic = false;
        bool underline = false;
        bool strikeOut = false;
        std::int32_t sizePoints = 9;
        std::string faceName;
    };

    void writeFont(std::int32_t member, std::uint32_t payloadLow, std::uint32_t payloadHigh);

    FontRule fontRule_;
    platform::ScaleMode scaleMode_ = platform::ScaleMode::Pixel;
    platform::PenType penType_ = platform::PenType::Solid;
    int drawMode_ = 12;  // copy the pen
    int penWidth_ = 1;
    platform::ColourRef penColour_ = 0;
    int brushType_ = platform::kSolidBrush;
    platform::ColourRef brushColour_ = 0x00FFFFFF;
    platform::ColourRef textColour_ = 0;
    platform::ColourRef textBackground_;
    FontState font_;
    int originX_ = 0;
    int originY_ = 0;
    int currentX_ = 0;
    int currentY_ = 0;
};

// Lines of a text, broken at CR LF, CR and LF.
std::vector<std::string_view> splitTextLines(std::string_view text);

}  // namespace quillora::runtime
