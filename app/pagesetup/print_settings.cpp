#include "pagesetup/print_settings.h"

#include <memory>

namespace quillora::app {
namespace {

std::unique_ptr<PrintSettings> settings;
std::unique_ptr<PreviewSet> preview;

}  // namespace

PrintSettings& printSettings()
{
    return *settings;
}

PreviewSet& previewSet()
{
    return *preview;
}

void createPageSetupState()
{
    // Every field starts at zero or empty, the three fonts at 9-point 宋体.
    settings = std::make_unique<PrintSettings>();
    preview = std::make_unique<PreviewSet>();
}

void releasePageSetupState()
{
    settings.reset();
    preview.reset();
}

}  // namespace quillora::app
