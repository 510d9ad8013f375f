#include "pages/panel_sink.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "pages/progress_window.h"
#include "quillora/draw_panel_commands.h"

namespace quillora::app {

bool panelHoldsPage(std::int64_t width, std::int64_t height)
{
    // One factor at a time, so that the product cannot overflow.
    return width > 0 && height > 0 && width <= kDrawPanelMostBitmapPixels
        && height <= kDrawPanelMostBitmapPixels / width;
}

PanelPageSize largestPanelPage(std::int32_t width, std::int32_t height)
{
    width = std::max(width, 1);
    height = std::max(height, 1);
    if (panelHoldsPage(width, height))
        return {width, height};
    // Both sides shrunk by the same factor, then rounded down; rounding may leave the product a
    // pixel row or column above the cap, which the steps below take off the longer side.
    const double scale = std::sqrt(static_cast<double>(kDrawPanelMostBitmapPixels)
                                   / (static_cast<double>(width) * static_cast<double>(height)));
    auto largestW = std::max<std::int64_t>(1, static_cast<std::int64_t>(std::floor(width * scale)));
    auto largestH = std::max<std::int64_t>(1, static_cast<std::int64_t>(std::floor(height * scale)));
    while (!panelHoldsPage(largestW, largestH)) {
        if (largestW * height >= largestH * width)
            --largestW;
        else
            --largestH;
    }
    return {static_cast<std::int32_t>(largestW), static_cast<std::int32_t>(largestH)};
}

PanelSink::PanelSink(PageRules rules) : rules_(std::move(rules)), panel_(progressPagePanel())
{
}

bool PanelSink::begin(const PageJob& job)
{
    pageSize_ = {job.pageWidth(), job.pageHeight()};
    panel_.prepareAsPage();
    panel_.clear();
    panel_.resize(pageSize_.width, pageSize_.height);
    panel_.clear();
    return true;
}

bool PanelSink::panelIsPageSized()
{
    return PanelPageSize{panel_.bitmapWidth(), panel_.bitmapHeight()} == pageSize_;
}

}  // namespace quillora::app
