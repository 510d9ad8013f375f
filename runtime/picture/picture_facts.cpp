#include "runtime/picture/picture_facts.h"

#include <deque>
#include <unordered_map>

#include "platform/fs/local_clock.h"
#include "runtime/picture/picture_sniffing.h"

namespace quillora::runtime {
namespace {

// The facts by path, and the paths in the order they were remembered, oldest first.
struct FactsStore {
    std::unordered_map<std::string, PictureFileFacts> facts;
    std::deque<std::string> order;
    std::size_t reads = 0;
};

FactsStore& store()
{
    static FactsStore instance;
    return instance;
}

// The facts the start of a file gives: a JPEG's EXIF block, or nothing for any other file.
PictureFileFacts readFacts(const platform::FileSnapshot& head)
{
    PictureFileFacts facts;
    facts.identity = head.identity;
    if (looksLikeJpeg(head.content)) {
        const formats::JpegExif exif = formats::readJpegExif(head.content);
        facts.orientation = exif.orientation;
        facts.taken = exif.taken;
    }
    return facts;
}

}  // namespace

void rememberPictureFacts(const std::string& linuxPath, const PictureFileFacts& facts)
{
    FactsStore& state = store();
    if (!state.facts.insert_or_assign(linuxPath, facts).second)
        return;
    state.order.push_back(linuxPath);
    if (state.order.size() > kRememberedPictureFiles) {
        state.facts.erase(state.order.front());
        state.order.pop_front();
    }
}

std::optional<PictureFileFacts> rememberedPictureFacts(const std::string& linuxPath,
                                                       const platform::FileIdentity& current)
{
    const FactsStore& state = store();
    const auto found = state.facts.find(linuxPath);
    if (found == state.facts.end() || found->second.identity != current)
        return std::nullopt;
    return found->second;
}

std::optional<CalendarTime> pictureFileTakenTime(const std::string& linuxPath)
{
    const auto identity = platform::currentFileIdentity(linuxPath);
    if (!identity)
        return std::nullopt;
    std::optional<PictureFileFacts> facts = rememberedPictureFacts(linuxPath, *identity);
    if (!facts) {
        ++store().reads;
        const auto head = platform::readFileHead(linuxPath, kPictureFactsHeadBytes);
        if (!head)
            return std::nullopt;
        facts = readFacts(*head);
        rememberPictureFacts(linuxPath, *facts);
    }
    if (const auto& taken = facts->taken)
        return CalendarTime{taken->year, taken->month, taken->day, taken->hour, taken->minute, taken->second};
    const platform::LocalTime modified = platform::localTimeOf(facts->identity.modifiedSeconds);
    return CalendarTime{modified.year, modified.month, modified.day, modified.hour, modified.minute, modified.second};
}

std::size_t pictureFactsReads()
{
    return store().reads;
}

}  // namespace quillora::runtime
