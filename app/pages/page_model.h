// The page model of the album: how a sheet is divided into picture cells, where a picture and its
// caption go inside a cell, and how the six photo modes fit a picture into its box.
//
// The three renderers (the preview canvas in whole millimetres, the printer in 0.1 mm from the
// margin box, the export canvas in 0.1 mm) share this geometry; what differs between them is
// data (PageRules), not code. The arithmetic is kept in pure functions so that it can be checked
// against exact rectangles; page_drawing.h draws with it on a PageSurface.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
namespace quillora::app {

// Computed lengths are compared with this tolerance: a counts as less than b when a - b < -1e-7.
inline constexpr double kLengthTolerance = 1e-7;
inline bool lessThan(double a, double b) { return a - b < -kLengthTolerance; }

// Floating-point values become integers by truncation toward zero.
std::int32_t truncated(double value);
// A 64-bit length or count in 32 bits, at the nearest end when it lies beyond them. The model
// works out sums and products of lengths and counts in 64 bits, so that none of them can
// overflow whatever a job holds, and keeps its results in 32 bits.
std::int32_t saturated(std::int64_t value);

// The six photo modes; any other number is drawn as mode 0.
enum PhotoMode : std::int32_t {
    kPhotoFitCentred = 0,    // "0：按比例缩放且居中"
    kPhotoFillBox = 1,       // "1：布满打印区域"
    kPhotoNaturalCentred = 2,// "2：按原始值打印且居中"
    kPhotoFitTopLeft = 3,    // "3：按比例缩放且不居中"
    kPhotoNaturalTopLeft = 4,// "4：按原始值打印且不居中"
    kPhotoCropFill = 5,      // "5：按比例裁剪布满"
};
std::int32_t normalisedPhotoMode(std::int32_t mode);

struct PictureRect {
    std::int32_t x = 0;
    std::int32_t y = 0;
    std::int32_t width = 0;
    std::int32_t height = 0;
    bool operator==(const PictureRect&) const = default;
};

// Where a picture of natural size picW × picH lands in `box` in `mode`. `ratio` is width ÷ height;
// below 0.001 the picture's own ratio is used. Natural size is not clipped to the box. Nothing is
// drawn (no rectangle) when the box or the picture has no area. Mode 5 draws into the whole box,
// from the part of the picture cropSourceForBox() gives.
std::optional<PictureRect> fitPictureInBox(const PictureRect& box, std::int32_t picW, std::int32_t picH, float ratio,
                                           std::int32_t mode);

// Mode 5: the picture, shown at `ratio` (width ÷ height), is scaled by the larger of box width ÷
// picture width and box height ÷ picture height and centred on the box; what overflows the box is
// cut off. The result is the part of the picture that shows, in the picture's own pixels
// (pixelW × pixelH): the whole of one side and the centred middle of the other. Cutting the
// picture rather than the page means nothing is drawn outside the cell, not even hidden in a PDF.
// Nothing when the box or the picture has no area or the ratio is not a number above 0.
std::optional<PictureRect> cropSourceForBox(const PictureRect& box, float ratio, std::int32_t pixelW,
                                            std::int32_t pixelH);

// How a renderer differs from the others: the page loop is the same code for all three, and
// everything that differs between the preview, the printer and the export is here as data.
struct PageRules {
    // The paper of a job that names none, in the renderer's unit.
    std::int32_t defaultPaperWidth = 0;
    std::int32_t defaultPaperHeight = 0;
    // The canvases draw 5 × 5 when rows or columns are missing; the printer refuses such a job.
    bool defaultGrid = true;
    // The point size written into the surface's font for a font of `points` screen points (the
    // panels do not have the screen's 96 pixels per inch; the printer converts sizes itself).
    std::int32_t (*fontSize)(std::int32_t points) = nullptr;
    // The printer holds the cell size as whole units; the canvases keep single precision.
    bool integerCells = false;
    // The canvases count from the paper's corner, so their cells start at the margins; the
    // printer's logical origin is already the margin box's corner.
    bool originAtMargins = true;
    // Natural size of a picture: its pixel size at `naturalPixels` pixels per `naturalUnits`
    // units, truncated (worked out in whole numbers, so that 177 pixels at 11.8 per millimetre
    // are exactly 15 mm). naturalPixels 0 asks the surface (the printer converts device pixels
    // itself).
    std::int32_t naturalPixels = 0;
    std::int32_t naturalUnits = 1;
    // The preview draws the first page only, every cell of it, with or without pictures.
    bool firstPageOnly = false;
    // The preview lets pending events run after every cell; the jobs after every page.
    bool eventsAfterEachCell = false;
    // The printer may read a picture until its page is out, so pictures stay loaded to the end of
    // the job; the canvases let each picture go as soon as it is drawn.
    bool picturesKeptToEnd = false;
    // An exported batch handed over without captions gives the pictures the whole cell.
    bool noCaptionsFillCell = false;
};

// A side of `pixels` pixels in the renderer's unit by its natural-size rule (canvases only).
std::int32_t naturalLength(std::int32_t pixels, const PageRules& rules);

// The preview canvas: one pixel per millimetre, pictures at 11.8 pixels per millimetre, fonts at
// truncate(size ÷ 96 × 25.4).
PageRules previewRules();
// The printer: 0.1 mm from the margin box, whole-unit cells, natural size from the printer.
PageRules printerRules();
// The export canvas: 0.1 mm per pixel; pictures at the same physical size as in the preview
// (1.18 pixels per 0.1 mm), so an exported page matches what the preview showed; fonts at
// truncate(size × 2.6458), 254 pixels per inch against the screen's 96.
PageRules exportRules();

// The page in the renderer's unit, after defaults and the landscape swap.
struct PageInput {
    std::int32_t pageWidth = 0;
    std::int32_t pageHeight = 0;
    std::int32_t marginTop = 0;
    std::int32_t marginBottom = 0;
    std::int32_t marginLeft = 0;
    std::int32_t marginRight = 0;
    std::int32_t rows = 0;
    std::int32_t columns = 0;
    std::int32_t rowSpacing = 0;
    std::int32_t columnSpacing = 0;
    std::int32_t captionGap = 0;
    std::int32_t textH = 0;  // height of "大" in the caption font on the surface
};

// The derived values of a page.
struct PageLayout {
    std::int32_t availW = 0;
    std::int32_t availH = 0;
    float cellW = 0;
    float cellH = 0;
    std::int32_t textH = 0;
    std::int32_t gap = 0;  // the caption gap after the gap rule
    std::int32_t originX = 0;
    std::int32_t originY = 0;
    std::int32_t rows = 0;
    std::int32_t columns = 0;
    std::int32_t rowSpacing = 0;
    std::int32_t columnSpacing = 0;

    // Room for the cells: rows and columns above 0, each cell at least one unit wide and high
    // (so a page never has more cells than units of area).
    bool hasRoom() const;
    // The picture box of the cell in row i, column j (from 0), as integers.
    PictureRect pictureBox(std::int32_t i, std::int32_t j) const;
    // The top-left corner of a caption `tw` wide under the cell (i, j): centred, or from the
    // cell's left edge when it is not narrower than the cell.
    void captionPosition(std::int32_t i, std::int32_t j, std::int32_t tw, std::int32_t& x, std::int32_t& y) const;
    std::int64_t cellsPerPage() const { return std::int64_t{rows} * columns; }
};

// What a job is told when its layout leaves no room for a cell (the settings window refuses such
// layouts; the page loops check again before they start).
inline constexpr const char* kNoRoomMessage = "页面上没有放照片的位置：请检查行数、列数、间距和页边距。";
inline constexpr const char* kNoRoomTitle = "打印";

// The caption gap is used only when it is less than half the caption line height.
std::int32_t captionGapRule(std::int32_t gap, std::int32_t textH);

PageLayout computePageLayout(const PageInput& input, const PageRules& rules);

// Pages needed for `pictures` at `perPage` cells a page (0 when a page holds no cell).
std::int32_t pagesNeeded(std::int64_t pictures, std::int64_t perPage);

}  // namespace quillora::app
