#include "runtime/core/window_registry.h"

#include "runtime/core/events.h"
#include "runtime/core/live_window.h"

#include <algorithm>

namespace quillora::runtime {
namespace {

FormTemplates installedTemplates;
std::vector<std::unique_ptr<LiveWindow>> loadedWindows;

}  // namespace

void installFormTemplates(FormTemplates templates)
{
    installedTemplates = std::move(templates);
}

FormTemplates& formTemplates()
{
    return installedTemplates;
}

LiveWindow* liveWindow(std::uint32_t windowId)
{
    for (const auto& window : loadedWindows)
        if (window->id() == windowId && window->alive())
            return window.get();
    return nullptr;
}

bool isWindowLoaded(std::uint32_t windowId)
{
    return liveWindow(windowId) != nullptr;
}

std::vector<LiveWindow*> liveWindows()
{
    std::vector<LiveWindow*> windows;
    for (const auto& window : loadedWindows)
        if (window->alive())
            windows.push_back(window.get());
    return windows;
}

void releaseWindows()
{
    loadedWindows.clear();
}

void enterLiveWindow(std::unique_ptr<LiveWindow> window)
{
    loadedWindows.push_back(std::move(window));
}

void destroyLiveWindow(std::uint32_t windowId)
{
    if (!liveWindow(windowId))
        return;
    fireUnitEvent(windowId, 0, kEventAboutToBeDestroyed);
    auto found = std::find_if(loadedWindows.begin(), loadedWindows.end(),
                              [windowId](const auto& window) { return window->id() == windowId; });
    if (found == loadedWindows.end())
        return;
    // Out of the table first, so that nothing reached while it is torn down still finds it.
    std::unique_ptr<LiveWindow> window = std::move(*found);
    loadedWindows.erase(found);
}

}  // namespace quillora::runtime
