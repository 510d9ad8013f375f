// Picture pixels handed to a device context, made ready for drawing: any of the accepted pixel
// layouts, either row order, reduced by area averaging where the target is smaller.
// Used by the device context only; the public interface is PictureView in device_context.h.
#pragma once

#include "platform/device_context.h"

class QImage;

namespace quillora::platform {

// The picture the right way up as an opaque 32-bit image of
// min(maximumWidth, picture width) × min(maximumHeight, picture height) pixels. An axis that
// shrinks is reduced by averaging, for every target pixel, exactly the source area it covers
// (the look of a halftone reduction); an axis that does not shrink keeps its pixels. Null for an
// empty or inconsistent view (no pixels, a stride shorter than a row, non-positive sizes).
QImage reducedPicture(const PictureView& picture, int maximumWidth, int maximumHeight);

}  // namespace quillora::platform
