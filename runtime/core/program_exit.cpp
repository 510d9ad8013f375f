#include "runtime/core/program_exit.h"

#include "platform/process.h"

#include <atomic>
#include <map>
#include <mutex>
#include <thread>
#include <vector>

namespace quillora::runtime {
namespace {

std::mutex stepsMutex;
std::map<ShutdownStage, std::vector<std::function<void()>>> shutdownSteps;
std::atomic<Subroutine> exitHook{nullptr};
std::atomic<bool> exiting{false};
std::thread::id startingThread = std::this_thread::get_id();

void runStage(ShutdownStage stage)
{
    std::vector<std::function<void()>> steps;
    {
        std::lock_guard lock(stepsMutex);
        auto found = shutdownSteps.find(stage);
        if (found == shutdownSteps.end())
            return;
        steps.swap(found->second);
    }
    for (auto& step : steps)
        step();
}

[[noreturn]] void exitOnStartingThread(std::int32_t exitCode)
{
    if (exiting.exchange(true))
        platform::endProcess(exitCode);
    runStage(ShutdownStage::StopEvents);
    runStage(ShutdownStage::ClearIdleCallbacks);
    runStage(ShutdownStage::ReleaseTemplates);
    // The hook is taken before it runs, so it runs at most once even if it exits itself.
    if (Subroutine hook = exitHook.exchange(nullptr))
        hook();
    runStage(ShutdownStage::NotifyLibraries);
    runStage(ShutdownStage::ReleaseModules);
    runStage(ShutdownStage::DestroyHiddenWindow);
    platform::endProcess(exitCode);
}

}  // namespace

void addShutdownStep(ShutdownStage stage, std::function<void()> step)
{
    std::lock_guard lock(stepsMutex);
    shutdownSteps[stage].push_back(std::move(step));
}

void rememberStartingThread()
{
    startingThread = std::this_thread::get_id();
}

void setExitHook(Subroutine hook)
{
    exitHook = hook;
}

void clearExitHook()
{
    exitHook = nullptr;
}

bool isExiting()
{
    return exiting.load();
}

void exitProgram(std::int32_t exitCode)
{
    if (std::this_thread::get_id() == startingThread)
        exitOnStartingThread(exitCode);

    // Another thread hands the exit to the starting thread, whose message loop performs the
    // orderly shutdown. If that thread never picks the request up (it is not running a loop),
    // the process ends after a grace period rather than leaving the caller stuck.
    if (!exiting.load() && platform::postToMainThread([exitCode] { exitOnStartingThread(exitCode); })) {
        std::this_thread::sleep_for(std::chrono::seconds(5));
        if (exiting.load())
            for (;;)
                std::this_thread::sleep_for(std::chrono::seconds(60));
    }
    platform::endProcess(exitCode);
}

}  // namespace quillora::runtime
