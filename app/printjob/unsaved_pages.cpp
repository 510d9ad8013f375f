#include "printjob/unsaved_pages.h"

namespace quillora::app {
namespace {

std::int32_t unsaved = 0;
bool shown = false;

}  // namespace

void resetUnsavedPages()
{
    unsaved = 0;
    shown = false;
}

void noteUnsavedPages(std::int32_t count)
{
    if (count > 0)
        unsaved += count;
}

std::int32_t unsavedPages()
{
    return unsaved;
}

bool lossAlreadyShown()
{
    return shown;
}

void noteLossShown()
{
    shown = true;
}

}  // namespace quillora::app
