// The progress window's hidden panel 画板_temp as the sink of a page job: the preview's one page
// and the export's pages are drawn there, each whole page in the panel's kept bitmap.
#pragma once

#include <cstdint>

#include "pages/page_sink.h"
#include "pages/page_surfaces.h"

namespace quillora::app {

// A page size in panel pixels (one pixel per unit of the sink's rules).
struct PanelPageSize {
    std::int32_t width = 0;
    std::int32_t height = 0;
    bool operator==(const PanelPageSize&) const = default;
};

// True when the panel's bitmap can hold a page of width × height pixels (both at least 1).
bool panelHoldsPage(std::int64_t width, std::int64_t height);
// The largest page of the proportions of width × height (both at least 1) that the panel holds,
// each side rounded down to whole pixels: the page itself when the panel holds it.
PanelPageSize largestPanelPage(std::int32_t width, std::int32_t height);

class PanelSink : public PageSink {
public:
    explicit PanelSink(PageRules rules);

    const PageRules& rules() const override { return rules_; }
    PageSurface& surface() override { return panel_; }
    // The panel cleared and sized to the job's page, one pixel per unit.
    bool begin(const PageJob& job) override;
    void end() override {}

protected:
    PanelSurface& panel() { return panel_; }
    // The page size begin() asked the panel for.
    PanelPageSize pageSize() const { return pageSize_; }
    // True when the panel's bitmap is the page's size: false when the panel could not take it
    // (its bitmap then keeps an earlier size, and a page taken from it would be of that size).
    bool panelIsPageSized();

private:
    PageRules rules_;
    PanelSurface panel_;
    PanelPageSize pageSize_;
};

}  // namespace quillora::app
