#include "pages/preview_page.h"

#include <utility>

#include "pages/panel_sink.h"
#include "pages/render_pages.h"

namespace quillora::app {
namespace {

// The preview's one page, taken out of the panel as picture data when it is finished.
class PreviewSink final : public PanelSink {
public:
    PreviewSink() : PanelSink(previewRules()) {}

    bool begin(const PageJob& job) override
    {
        landscape_ = job.landscape();
        return PanelSink::begin(job);
    }

    bool endPage(std::int32_t) override
    {
        // A panel that could not take the page's size shows no page rather than a part of one.
        if (!panelIsPageSized())
            return true;
        page_ = panel().picture();
        if (landscape_ && !page_.empty()) {
            BitmapObject bitmap;
            if (bitmap.loadFromData(page_))
                page_ = bitmap.rotated(90.0, 0).data();
        }
        return true;
    }

    ByteSet takePage() { return std::move(page_); }

private:
    bool landscape_ = false;
    ByteSet page_;
};

}  // namespace

ByteSet RenderPreviewPage(const PageJob& job)
{
    PreviewSink sink;
    renderPages(job, sink);
    return sink.takePage();
}

}  // namespace quillora::app
