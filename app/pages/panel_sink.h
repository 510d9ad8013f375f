// The progress window's hidden panel 画板_temp as the sink of a page job: the preview's one page
// and the export's pages are drawn there, each whole page in the panel's kept bitmap.
#pragma once

#include "pages/page_sink.h"
#include "pages/page_surfaces.h"

namespace quillora::app {

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

private:
    PageRules rules_;
    PanelSurface panel_;
};

}  // namespace quillora::app
