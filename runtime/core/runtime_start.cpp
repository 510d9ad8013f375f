#include "runtime/core/runtime_start.h"

#include "platform/gui_application.h"
#include "platform/memory_policy.h"
#include "platform/process.h"
#include "platform/program_image.h"
#include "quillora/program_descriptor.h"
#include "runtime/core/dll_commands.h"
#include "runtime/core/events.h"
#include "runtime/core/form_template.h"
#include "runtime/core/memory.h"
#include "runtime/core/program_exit.h"
#include "runtime/core/window_registry.h"

#include <atomic>

// The application defines the descriptor; a program without one (a test) runs with no windows.
#pragma weak quilloraProgramDescriptor

namespace quillora::runtime {
namespace {

std::atomic<bool> started{false};
std::string launchFolder;

}  // namespace

void startRuntime(bool withoutWindows)
{
    if (started.exchange(true))
        return;
    platform::keepLargeBlocksForReuse();
    launchFolder = platform::currentDirectory();
    const std::string directory = platform::programDirectory();
    // Relative file names resolve against the program's own folder. Staying in the caller's
    // folder when that fails is harmless: every path the album logic uses is absolute.
    platform::setCurrentDirectory(directory);
    rememberStartingThread();
    platform::startGuiApplication(withoutWindows);
    addShutdownStep(ShutdownStage::DestroyHiddenWindow, [] { platform::stopGuiApplication(); });
    addShutdownStep(ShutdownStage::StopEvents, [] { suppressEvents(); });
    addShutdownStep(ShutdownStage::ClearIdleCallbacks, [] { clearIdleCallbacks(); });
    addShutdownStep(ShutdownStage::ReleaseTemplates, [] { releaseWindows(); });

    const ProgramDescriptor* descriptor = &quilloraProgramDescriptor;
    if (descriptor && descriptor->constantData)
        registerStaticRange(descriptor->constantData, descriptor->constantDataBytes);
    else
        for (const platform::AddressRange& range : platform::programConstantData())
            registerStaticRange(range.begin, range.bytes);
    programDllCommands().setProgramDirectory(directory);

    if (descriptor && descriptor->templateData) {
        const HandlerTable handlers{descriptor->codeBase, descriptor->handlerCount};
        installFormTemplates(readFormTemplatesOrReport(
            std::span<const std::uint8_t>(descriptor->templateData, descriptor->templateDataBytes), handlers));
    }
}

const std::string& launchDirectory()
{
    return launchFolder;
}

std::string launchPath(const std::string& path)
{
    if (path.empty() || path.front() == '/' || launchDirectory().empty())
        return path;
    return launchDirectory() + "/" + path;
}

bool runtimeStarted()
{
    return started.load();
}

}  // namespace quillora::runtime
