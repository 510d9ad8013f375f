#include "pages/page_job.h"

#include <utility>

namespace quillora::app {

namespace {

constexpr std::int32_t kDefaultRowsAndColumns = 5;

}  // namespace

void takeBatch(PageJob& job, PageBatch batch)
{
    job.paths = std::move(batch.paths);
    job.captions = std::move(batch.captions);
    job.ratios = std::move(batch.ratios);
    job.header.text = std::move(batch.header);
    job.footer.text = std::move(batch.footer);
}

void applyPageDefaults(PageJob& job, const PageRules& rules)
{
    if (job.paperWidth < 1 || job.paperHeight < 1) {
        job.paperWidth = rules.defaultPaperWidth;
        job.paperHeight = rules.defaultPaperHeight;
    }
    if (rules.defaultGrid && (job.rows <= 0 || job.columns <= 0)) {
        job.rows = kDefaultRowsAndColumns;
        job.columns = kDefaultRowsAndColumns;
    }
    job.photoMode = normalisedPhotoMode(job.photoMode);
    if (job.captionFont.name.empty())
        job.captionFont = FontSpec{};
}

}  // namespace quillora::app
