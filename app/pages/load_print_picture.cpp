#include "pages/load_print_picture.h"

#include <cmath>

#include "common/core_calls.h"
#include "common/picture_calls.h"
#include "common/unit_calls.h"
#include "pages/page_model.h"
#include "pages/progress_window.h"
#include "quillora/core_commands.h"
#include "quillora/special_unit_commands.h"

namespace quillora::app {
namespace {

bool fileExists(const std::string& path)
{
    return asBool(callCore(&FileExists, textValue(path)));
}

std::int64_t fileSize(const std::string& path)
{
    return asInt(callCore(&FileSize, textValue(path)));
}

ByteSet fileBytes(const std::string& path)
{
    return ByteSet::adopt(callCore(&ReadFile, textValue(path)));
}

// Redraws the picture data at `zoom` per mille in the hidden animation box and loads what the box
// shows; 0 when the data is not a picture or the box cannot render it.
std::int32_t reducedPicture(const ByteSet& data, std::int32_t zoom)
{
    const UnitRef box = progressAnimationBox();
    const RuntimeValue object = makeInt(scalingObject());
    if (!asBool(callMethod(box, &animationBoxSetObjectPicture, object, data.value())))
        return 0;
    callMethod(box, &animationBoxSetObjectZoom, object, makeInt(zoom), makeInt(zoom));
    const std::int32_t width = asInt(callMethod(box, &animationBoxObjectWidth, object));
    const std::int32_t height = asInt(callMethod(box, &animationBoxObjectHeight, object));
    writeProperty(box, kPropertyWidth, makeInt(width));
    writeProperty(box, kPropertyHeight, makeInt(height));
    const ByteSet shown = ByteSet::adopt(
        callMethod(box, &animationBoxTakePicture, makeInt(0), makeInt(0), makeInt(width), makeInt(height)));
    // The object lets go of the large picture at once; the next call gives it another.
    callMethod(box, &animationBoxSetObjectPicture, object, ByteSet().value());
    return shown.empty() ? 0 : loadPictureFromData(shown);
}

}  // namespace

bool shrinksPictures(std::int32_t level)
{
    return level >= 1 && level <= kHighestOptimisation;
}

float optimisationRatio(std::int64_t fileSize, std::int32_t level)
{
    if (level < 1)
        return 0.0f;
    return static_cast<float>(static_cast<double>(fileSize) / static_cast<double>(kOptimisationStep) / level);
}

bool needsReduction(float ratio)
{
    return !lessThan(ratio, 1.2);
}

std::int32_t reductionZoom(float ratio)
{
    return truncated(1000.0 / std::sqrt(static_cast<double>(ratio)));
}

bool exemptFromReduction(const std::string& path)
{
    const std::string ending = rightText(path, 4);
    return ending == ".bmp" || ending == ".BMP";
}

namespace {

// The zoom the picture in the file is redrawn at before it is loaded at `level`, or 0 when it is
// loaded as it is. The scaling object lives in the progress window; should the user have closed
// that window during a render, every picture is drawn from its file as it is.
std::int32_t reductionZoomOf(const std::string& path, std::int32_t level)
{
    if (!shrinksPictures(level) || exemptFromReduction(path) || !progressWindowLoaded())
        return 0;
    const float ratio = optimisationRatio(fileSize(path), level);
    return needsReduction(ratio) ? reductionZoom(ratio) : 0;
}

}  // namespace

void ReadNextPrintPicturesAhead(std::span<const std::string> paths, std::size_t index, std::int32_t level)
{
    const std::size_t ahead = shrinksPictures(level) ? kShrunkPicturesReadAhead : kPicturesReadAhead;
    // The runtime ignores a file it has been told of already, so each call adds the farthest one.
    for (std::size_t next = index + 1; next < paths.size() && next <= index + ahead; ++next)
        if (!paths[next].empty())
            readPictureAhead(paths[next], reductionZoomOf(paths[next], level));
}

std::int32_t LoadPrintPicture(const std::string& path, std::int32_t level)
{
    if (path.empty() || !fileExists(path))
        return 0;
    const std::int32_t zoom = reductionZoomOf(path, level);
    if (zoom == 0)
        return loadPictureFromFile(path);
    const ByteSet data = fileBytes(path);
    if (data.empty())
        return 0;
    return reducedPicture(data, zoom);
}

}  // namespace quillora::app
