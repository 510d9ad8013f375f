#include "platform/console.h"

#include <atomic>
#include <csignal>
#include <cstdio>
#include <unistd.h>

namespace quillora::platform {
namespace {

// Lock-free, so the signal handler may set it.
std::atomic<bool> interrupted{false};
static_assert(std::atomic<bool>::is_always_lock_free);

void onInterrupt(int)
{
    if (interrupted.exchange(true)) {
        std::signal(SIGINT, SIG_DFL);
        std::raise(SIGINT);
    }
}

std::FILE* streamOf(ConsoleStream stream)
{
    return stream == ConsoleStream::Output ? stdout : stderr;
}

}  // namespace

bool isTerminal(ConsoleStream stream)
{
    return isatty(stream == ConsoleStream::Output ? STDOUT_FILENO : STDERR_FILENO) == 1;
}

void writeConsole(ConsoleStream stream, std::string_view text)
{
    std::FILE* file = streamOf(stream);
    std::fwrite(text.data(), 1, text.size(), file);
    std::fflush(file);
}

void catchInterrupt()
{
    interrupted = false;
    std::signal(SIGINT, onInterrupt);
}

bool interruptRequested()
{
    return interrupted.load();
}

}  // namespace quillora::platform
