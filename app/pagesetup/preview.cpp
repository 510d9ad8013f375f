// Stand-in until the preview is drawn: the handler and the function do nothing.
#include "pagesetup/preview.h"

#include "common/handlers.h"

namespace quillora::app {

void refreshPreview() {}

HandlerResult RefreshPreview(const EventArguments&)
{
    refreshPreview();
    return noValue();
}

}  // namespace quillora::app
