#include "printjob/print_batch.h"

#include "pagesetup/open_print_settings.h"
#include "pagesetup/print_album.h"
#include "pagesetup/print_settings.h"
#include "printjob/export_pages.h"
#include "printjob/folder_prompt.h"

#include <utility>

namespace quillora::app {

std::int32_t PrintBatch(std::vector<std::string>& paths, std::vector<float>& ratios, std::vector<std::string>& captions,
                        std::string& header, std::string& footer)
{
    // The settings window, should it open, previews this very batch.
    previewSet() = PreviewSet{paths, ratios, captions, header, footer};

    if (printSettings().printerName.empty() || printSettings().confirmed == 0)
        printSettings() = OpenPrintSettings(paths, true, ratios, true, captions, true, header, true, footer, true);
    const PrintSettings settings = printSettings();
    if (settings.confirmed == 0)
        return 0;

    if (settings.toPictureFiles) {
        const std::string folder = askForSaveFolder();
        if (folder.empty())
            return 0;
        // The export loop turns landscape pages itself, so it gets the paper as stored.
        return ExportBatchToPictures(folder, settings.paperWidth, settings.paperHeight, settings.photoMode,
                                     settings.rows, settings.columns, settings.rowSpacing, settings.columnSpacing,
                                     settings.captionGap, settings.captionFont, settings.marginTop,
                                     settings.marginBottom, settings.marginLeft, settings.marginRight,
                                     settings.headerOffset, settings.footerOffset, settings.orientation,
                                     settings.pictureFormat, 1, paths, ratios, captions, header, footer);
    }

    std::int32_t pageWidth = settings.paperWidth;
    std::int32_t pageHeight = settings.paperHeight;
    if (settings.orientation == 1)
        std::swap(pageWidth, pageHeight);
    return PrintAlbum(paths, settings.rows, settings.columns, settings.rowSpacing, settings.columnSpacing, ratios,
                      captions, settings.captionGap, pageWidth, pageHeight, settings.photoMode, header, footer,
                      settings.headerOffset, settings.footerOffset);
}

}  // namespace quillora::app
