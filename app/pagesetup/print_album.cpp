// Stand-in until the printer renderer is built: nothing is printed.
#include "pagesetup/print_album.h"

namespace quillora::app {

std::int32_t PrintAlbum(const std::vector<std::string>&, std::int32_t, std::int32_t, std::int32_t, std::int32_t,
                        const std::vector<float>&, const std::vector<std::string>&, std::int32_t, std::int32_t,
                        std::int32_t, std::int32_t, const std::string&, const std::string&, std::int32_t, std::int32_t)
{
    return 0;
}

}  // namespace quillora::app
