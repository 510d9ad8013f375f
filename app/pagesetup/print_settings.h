// The process-wide print settings record and the preview set the settings window draws from.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace quillora::app {

// A font description as the font dialog reports it.
struct FontSpec {
    std::int32_t angle = 0;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strikeout = false;
    std::int32_t size = 9;
    std::string name = "宋体";
};

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
};

// The pictures, values and captions handed to the preview, with their header and footer.
struct PreviewSet {
    std::vector<std::string> paths;
    std::vector<float> values;  // width ÷ height per picture; 0 or missing = the picture's own
    std::vector<std::string> captions;
    std::string header;
    std::string footer;
};

// Created by the application's global initialisation, released by its clean-up routine.
PrintSettings& printSettings();
PreviewSet& previewSet();
void createPageSetupState();
void releasePageSetupState();

}  // namespace quillora::app
