// The program's entry routine: the start sequence every program on the runtime follows, after a
// look at the command line (usage, version and the album made without windows never open one).
#include <cfenv>
#include <cstdio>
#include <string>
#include <vector>

#include "common/runtime_calls.h"
#include "shell/album_command.h"
#include "shell/application.h"
#include "shell/command_line.h"

#ifndef QUILLORA_VERSION
#define QUILLORA_VERSION "unknown"
#endif

int main(int argc, char** argv)
{
    using namespace quillora;
    using namespace quillora::app;

    const std::vector<std::string> words(argv + (argc > 0 ? 1 : 0), argv + argc);
    const CommandLine commandLine = parseCommandLine(words);
    switch (commandLine.mode) {
    case CommandLine::Mode::Help:
        std::fputs(usageText().c_str(), stdout);
        return kExitDone;
    case CommandLine::Mode::Version:
        std::puts("quillora " QUILLORA_VERSION);
        return kExitDone;
    case CommandLine::Mode::BadUsage:
        for (const std::string& problem : commandLine.problems)
            std::fprintf(stderr, "quillora: %s\n", problem.c_str());
        std::fputs(usageText().c_str(), stderr);
        return kExitBadUsage;
    case CommandLine::Mode::Album:
    case CommandLine::Mode::Windows:
        break;
    }

    const bool album = commandLine.mode == CommandLine::Mode::Album;
    callService(album ? RuntimeService::StartRuntimeWithoutWindows : RuntimeService::StartRuntime);
    std::fesetenv(FE_DFL_ENV);
    initialiseGlobals();
    runtime().CallRuntimeService(static_cast<std::int32_t>(RuntimeService::SetExitHook), &releaseGlobals);
    startApplication();
    runtime().LoadStartWindow(startWindowId());
    if (album)
        endProgram(runAlbumCommand(commandLine.album));
    runtime().RunMessageLoop();
    return 0;
}
