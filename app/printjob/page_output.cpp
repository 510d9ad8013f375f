// Stand-in until pages are saved: no page is written.
#include "printjob/page_output.h"

namespace quillora::app {

bool OutputExportPage(const UnitRef&, const std::string&, std::int32_t, std::int32_t, std::int32_t)
{
    return false;
}

}  // namespace quillora::app
