// A device context: the drawing state (scale mode, pen, brush, text colours, draw mode, font)
// and the drawing operations of a drawing panel or a printer, over a Qt painter.
//
// Coordinates are logical units of the scale mode, x growing to the right and y growing downward
// from the top-left corner of the surface, in every scale mode. The context converts them to
// device pixels itself (rounding to the nearest pixel) and draws with an untransformed painter,
// so fonts are realised at their true device size and a rectangle covers exactly the pixels its
// corners name. Only the picture operation takes device pixels, because pictures are placed by
// their pixel size.
//
// This header carries no Qt headers: the runtime's drawing panel and printer unit include it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

class QPainter;

namespace quillora::platform {

class OffscreenSurface;

// A colour as the runtime stores it: 0x00BBGGRR (red in the low byte).
using ColourRef = std::uint32_t;

// The text background colour that means "do not paint a background behind text".
inline constexpr ColourRef kTransparentTextBackground = 0xFF000000;

constexpr ColourRef rgbColour(std::uint8_t red, std::uint8_t green, std::uint8_t blue)
{
    return ColourRef{red} | (ColourRef{green} << 8) | (ColourRef{blue} << 16);
}

// The logical unit of every coordinate and size. The values are the runtime's property values.
enum class ScaleMode : int {
    Pixel = 0,
    TenthMillimetre = 1,
    HundredthMillimetre = 2,
    HundredthInch = 3,
    ThousandthInch = 4,
    Twip = 5,
};

// A property value outside 0..5 is clamped to the nearest end.
ScaleMode scaleModeFromValue(int value);

// Logical units per inch of a scale mode; in pixel mode that is the device's own resolution.
double logicalUnitsPerInch(ScaleMode mode, double deviceDotsPerInch);

// Pen types as the runtime numbers them. Dashed and dotted pens wider than one device pixel are
// drawn solid, as the windowing system these programs were written for did.
enum class PenType : int {
    Solid = 0,
    Dash = 1,
    Dot = 2,
    DashDot = 3,
    DashDotDot = 4,
    Null = 5,
    InsideFrame = 6,  // a shape's outline stays inside its bounding rectangle
};

// Brush types: 0 solid, 1 transparent (shapes are not filled), 2 horizontal lines, 3 vertical
// lines, 4 upward diagonal, 5 downward diagonal, 6 cross, 7 diagonal cross. The remaining values
// of the runtime's range (8..55) have no pattern of their own here and fill solid.
inline constexpr int kSolidBrush = 0;
inline constexpr int kTransparentBrush = 1;

// A font as the runtime asks for it. `height` is the character height (the em size, without the
// line gap) in logical units of the context's scale mode; device_fonts.h has the rules that turn
// a font record's point size into it for panels and printers.
struct LogicalFont {
    std::string face;     // UTF-8; 宋体 and 楷体 resolve to installed Song and Kai faces
    int height = 12;      // logical units; at least one device pixel is used
    int escapement = 0;   // tenths of a degree, counter-clockwise
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
};

struct TextExtent {
    int width = 0;   // advance width of the line
    int height = 0;  // line height: ascent plus descent
};

// Raster operations for pictures; the values are the runtime's mode argument.
enum class PictureRasterMode : int {
    Copy = 1,
    InvertedCopy = 2,
    ExclusiveOr = 3,
    Or = 4,
    And = 5,
};

// Absent (0) and unknown values mean copy.
PictureRasterMode pictureRasterModeFromValue(int value);

// Pixel layouts a picture can be handed over in.
enum class PictureFormat {
    Bgr24,     // blue, green, red bytes
    Bgrx32,    // blue, green, red and an ignored fourth byte
    Indexed8,  // one palette index per byte
    Mono1,     // one bit per pixel, the leftmost pixel in the high bit; 0 = palette[0]
};

// A view of picture pixels owned by the caller. Rows are `stride` bytes apart (a stride may
// include padding); they run top-down unless `bottomUp` is set, as in a BMP file. Palette
// entries are colour-table entries 0x00RRGGBB (blue in the low byte, as a BMP stores them); an
// indexed picture without a palette is drawn in grey levels, a monochrome one in black and white.
struct PictureView {
    const std::uint8_t* pixels = nullptr;
    int width = 0;
    int height = 0;
    std::ptrdiff_t stride = 0;
    PictureFormat format = PictureFormat::Bgr24;
    bool bottomUp = false;
    const std::uint32_t* palette = nullptr;
    int paletteSize = 0;
};

class DeviceContext {
public:
    // Draws on an off-screen surface, which must outlive the context. The surface may be resized
    // between drawing calls.
    explicit DeviceContext(OffscreenSurface& surface);
    // Draws through a painter that its owner keeps open (a printer's, for a whole job), whose
    // device has the given resolution. The context saves and restores the painter's state around
    // every operation; the owner's transformation (such as a margin offset) stays in force.
    DeviceContext(QPainter& painter, double dotsPerInchX, double dotsPerInchY);
    ~DeviceContext();
    DeviceContext(const DeviceContext&) = delete;
    DeviceContext& operator=(const DeviceContext&) = delete;

    // Mapping between logical units and device pixels.
    void setScaleMode(ScaleMode mode);
    ScaleMode scaleMode() const;
    double dotsPerInchX() const;
    double dotsPerInchY() const;
    int toDeviceX(int logical) const;
    int toDeviceY(int logical) const;
    int toLogicalX(int device) const;
    int toLogicalY(int device) const;

    // Drawing state.
    void setPen(PenType type, int width, ColourRef colour);  // width in logical units, 0 = thinnest
    void setBrush(int type, ColourRef colour);
    void setTextColour(ColourRef colour);
    void setTextBackground(ColourRef colour);  // kTransparentTextBackground: no background
    // Raster operation of pens and brushes: value 0..15 is the binary raster operation code
    // value + 1 (0 black, 5 invert the destination, 6 exclusive-or, 12 copy, 15 white, ...).
    // Values outside the range are clamped. Text and pictures are not affected.
    void setDrawMode(int value);
    void setFont(const LogicalFont& font);
    const LogicalFont& font() const;

    // Text in the current font, one line (line breaks are the caller's to split).
    TextExtent textExtent(std::string_view utf8Text) const;
    // Writes a line with the top-left corner of its first character cell at (x, y), turned by
    // the font's escapement around that point.
    void drawText(int x, int y, std::string_view utf8Text);
    // The same at a position in device pixels, for lines placed a device distance apart.
    void drawTextAtDevice(int deviceX, int deviceY, std::string_view utf8Text);
    // The height of a line of text in the current font in device pixels.
    int deviceLineHeight(std::string_view utf8Text) const;

    // Shapes in logical units. Rectangles cover [x, x + width) × [y, y + height).
    void fillRectangle(int x, int y, int width, int height, ColourRef colour);
    void drawRectangle(int x, int y, int width, int height);  // outline with the pen, filled with the brush
    void drawLine(int x1, int y1, int x2, int y2);

    // Stretches a picture into a rectangle given in device pixels, shrinking with area
    // averaging and enlarging by repeating pixels. Nothing is drawn for an empty or inconsistent
    // view or a non-positive size. On a device without raster operations (a printer), exclusive
    // or, or and and are drawn as copies; inverted copy is exact everywhere.
    void drawPicture(const PictureView& picture, int deviceX, int deviceY, int deviceWidth,
                     int deviceHeight, PictureRasterMode mode);

private:
    struct State;
    std::unique_ptr<State> state_;
};

}  // namespace quillora::platform
