#include "printjob/unsaved_pages.h"

namespace quillora::app {
namespace {

std::int32_t unsaved = 0;

}  // namespace

void resetUnsavedPages()
{
    unsaved = 0;
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

}  // namespace quillora::app
