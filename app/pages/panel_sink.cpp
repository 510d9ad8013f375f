#include "pages/panel_sink.h"

#include <utility>

#include "pages/progress_window.h"

namespace quillora::app {

PanelSink::PanelSink(PageRules rules) : rules_(std::move(rules)), panel_(progressPagePanel())
{
}

bool PanelSink::begin(const PageJob& job)
{
    panel_.prepareAsPage();
    panel_.clear();
    panel_.resize(job.pageWidth(), job.pageHeight());
    panel_.clear();
    return true;
}

}  // namespace quillora::app
