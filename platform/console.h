// The terminal the program was started from, for a job run from the command line: whether a
// stream is a terminal (progress lines only make sense on one), writing to the standard streams,
// and Ctrl+C turned into a request the job reads between pictures instead of an instant end.
#pragma once

#include <string_view>

namespace quillora::platform {

enum class ConsoleStream { Output = 1, Errors = 2 };

bool isTerminal(ConsoleStream stream);
// Writes the text as it is and flushes the stream.
void writeConsole(ConsoleStream stream, std::string_view text);

// From now on Ctrl+C (SIGINT) sets the request instead of ending the process; a second Ctrl+C
// while the first is still unanswered ends the process as usual.
void catchInterrupt();
bool interruptRequested();

}  // namespace quillora::platform
