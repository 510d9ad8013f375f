// Loads arbitrary bytes as a picture and, when they load, decodes its full record and the
// pixels drawing uses for a small cell (a JPEG is reduced for that).
#include <cstddef>
#include <cstdint>

#include "runtime/picture/picture_registry.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace quillora::runtime;
    const PictureHandle handle = loadPicture({data, size});
    if (handle != 0) {
        decodedPicture(handle);
        pictureForDrawing(handle, 16, 16);
        unloadPicture(handle);
    }
    return 0;
}
