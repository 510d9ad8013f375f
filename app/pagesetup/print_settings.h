// The process-wide print settings record and the preview set the settings window draws from.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "pages/font_spec.h"
#include "pages/page_job.h"

namespace quillora::app {

// Lengths in tenths of a millimetre. An empty printerName means the settings were never
// confirmed.
struct PrintSettings {
    std::string defaultPrinter;
    std::string printerName;
    std::int32_t paperType = 0;
    std::int32_t orientation = 0;  // 0 portrait, 1 landscape
    std::int32_t paperWidth = 0;
    std::int32_t paperHeight = 0;
    std::int32_t copies = 0;
    std::int32_t photoMode = 0;
    std::int32_t marginTop = 0;
    std::int32_t marginBottom = 0;
    std::int32_t marginLeft = 0;
    std::int32_t marginRight = 0;
    std::int32_t headerOffset = 0;
    std::int32_t footerOffset = 0;
    FontSpec captionFont;
    FontSpec headerFont;
    std::int32_t headerAlign = 0;  // 0 left, 1 centre, 2 right
    std::int32_t footerAlign = 0;
    FontSpec footerFont;
    std::int32_t rows = 0;
    std::int32_t columns = 0;
    std::int32_t rowSpacing = 0;
    std::int32_t columnSpacing = 0;
    std::int32_t captionGap = 0;
    std::int32_t reserved = 0;
    std::int32_t confirmed = 0;
    bool toPictureFiles = false;
    std::int32_t pictureFormat = 0;  // 1 BMP, 2 JPEG, 3 GIF, 4 TIFF, 5 PNG
    std::int32_t optimisation = 0;   // 0..5
    // What the captions say (组合框_照片说明): 0 the file name, 1 the date taken, 2 both. A record
    // that never had it set says the file name, as captions always did.
    std::int32_t captionKind = 0;
};

// The pictures and lines the settings window's preview draws: the batch it was opened for.
using PreviewSet = PageBatch;

// Created by the application's global initialisation, released by its clean-up routine.
PrintSettings& printSettings();
PreviewSet& previewSet();
void createPageSetupState();
void releasePageSetupState();

}  // namespace quillora::app
