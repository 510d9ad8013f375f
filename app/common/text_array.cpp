#include "common/text_array.h"

#include <cstdint>
#include <cstring>

#include "common/runtime_calls.h"

namespace quillora::app {
namespace {

// No printer has this many forms and no machine this many printers; a count beyond it means the
// block is not what it should be, and reading on would run past its end.
constexpr std::uint32_t kMostTexts = 1u << 16;

}  // namespace

std::vector<std::string> takeTextArray(const RuntimeValue& result)
{
    auto* block = static_cast<std::uint8_t*>(asPointer(result));
    std::vector<std::string> texts;
    if (!block)
        return texts;
    std::uint32_t dimensions = 0;
    std::uint32_t count = 0;
    std::memcpy(&dimensions, block, sizeof dimensions);
    std::memcpy(&count, block + sizeof dimensions, sizeof count);
    if (dimensions == 1 && count <= kMostTexts) {
        texts.reserve(count);
        const std::uint8_t* element = block + 2 * sizeof(std::uint32_t);
        for (std::uint32_t index = 0; index < count; ++index, element += sizeof(void*)) {
            // Elements follow the 8-byte header unaligned in general, so they are copied out.
            void* text = nullptr;
            std::memcpy(&text, element, sizeof text);
            OwnedBlock owned(text);
            texts.emplace_back(owned.text());
        }
    }
    runtime().FreeBlock(block);
    return texts;
}

}  // namespace quillora::app
