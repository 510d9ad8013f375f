// The page job: everything a page loop needs to draw an album, built once when a batch is handed
// over (or when the preview refreshes) and passed down as it is. Nothing below the builder reads
// the settings record or the preview set.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "pages/caption_text.h"
#include "pages/font_spec.h"
#include "pages/page_model.h"

namespace quillora::app {

// The pictures of a job and the lines around them, as the caller hands them over. The three
// lists run in parallel; pictures are taken in list order, filling each page row by row.
struct PageBatch {
    std::vector<std::string> paths;     // full path names; an empty one leaves its cell empty
    std::vector<std::string> captions;  // written under the pictures; a missing one writes nothing
    std::vector<float> ratios;          // width ÷ height; missing or 0 takes the picture's own
    std::string header;                 // with the category already put in
    std::string footer;
};

enum class Orientation : std::int32_t { Portrait = 0, Landscape = 1 };

// Where the pages go. The preview keeps its one page; the printer and the files are the jobs.
struct PageOutput {
    enum class Kind { Preview, Printer, Files };
    Kind kind = Kind::Preview;
    std::string printerName;     // the queue the document goes to
    std::string defaultPrinter;  // made the default again once the document is out
    std::string folder;          // where page files are written
    std::int32_t pictureFormat = 0;  // 1 BMP, 2 JPEG, 3 GIF, 4 TIFF, 5 PNG
};

// A header or a footer line: its text (placeholders still in), font and alignment (0 left,
// 1 centre, 2 right) and its distance from the paper's top or bottom edge.
struct PageLine {
    std::string text;
    FontSpec font;
    std::int32_t align = 0;
    std::int32_t offset = 0;
};

// Lengths are in the renderer's unit: whole millimetres for the preview, 0.1 mm for the printer
// and the export. The paper is as stored, before the landscape turn.
struct PageJob {
    std::int32_t paperWidth = 0;
    std::int32_t paperHeight = 0;
    Orientation orientation = Orientation::Portrait;
    std::int32_t marginTop = 0;
    std::int32_t marginBottom = 0;
    std::int32_t marginLeft = 0;
    std::int32_t marginRight = 0;
    std::int32_t rows = 0;
    std::int32_t columns = 0;
    std::int32_t rowSpacing = 0;
    std::int32_t columnSpacing = 0;
    std::int32_t captionGap = 0;
    std::int32_t photoMode = 0;
    // What a caption says: the file name handed over, the date its picture was taken, or both.
    CaptionKind captionKind = CaptionKind::FileName;
    FontSpec captionFont;
    PageLine header;
    PageLine footer;
    std::int32_t copies = 0;
    // The level pictures are loaded at (0: as they are; 1 to 5: large files shrunk first).
    std::int32_t optimisation = 0;
    PageOutput output;
    std::vector<std::string> paths;
    std::vector<std::string> captions;
    std::vector<float> ratios;

    bool landscape() const { return orientation == Orientation::Landscape; }
    // The page the cells are laid out on: the paper, turned for landscape.
    std::int32_t pageWidth() const { return landscape() ? paperHeight : paperWidth; }
    std::int32_t pageHeight() const { return landscape() ? paperWidth : paperHeight; }
};

// Puts the batch's pictures and lines into the job.
void takeBatch(PageJob& job, PageBatch batch);

// The defaults for what the settings window never produces, applied in this one place: a paper
// below one unit becomes the renderer's default paper, missing rows or columns 5 × 5 where the
// renderer has that default, a photo mode out of range 0, a caption font without a face 9-point
// 宋体.
void applyPageDefaults(PageJob& job, const PageRules& rules);

}  // namespace quillora::app
