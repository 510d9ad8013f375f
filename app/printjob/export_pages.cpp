// Stand-in until the export renderer is built: nothing is exported.
#include "printjob/export_pages.h"

namespace quillora::app {

std::int32_t ExportBatchToPictures(const std::string&, std::int32_t, std::int32_t, std::int32_t, std::int32_t,
                                   std::int32_t, std::int32_t, std::int32_t, std::int32_t, const FontSpec&,
                                   std::int32_t, std::int32_t, std::int32_t, std::int32_t, std::int32_t, std::int32_t,
                                   std::int32_t, std::int32_t, std::int32_t, const std::vector<std::string>&,
                                   const std::vector<float>&, const std::vector<std::string>&, const std::string&,
                                   const std::string&)
{
    return 1;
}

}  // namespace quillora::app
