// Stand-in until batches are printed: nothing is confirmed.
#include "printjob/print_batch.h"

namespace quillora::app {

std::int32_t PrintBatch(std::vector<std::string>&, std::vector<float>&, std::vector<std::string>&, std::string&,
                        std::string&)
{
    return 0;
}

}  // namespace quillora::app
