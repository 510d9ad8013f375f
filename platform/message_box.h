// Message boxes through the windowing system.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace quillora::platform {

// True when windows can be shown to a user: a windowing session exists and Qt does not run on
// its offscreen or minimal platform.
bool hasDisplay();

// An error message box (error icon, one OK button). Without a display, or before the windowing
// system is started, the text goes to standard error instead so that nothing waits for a user
// who is not there. Either way the text is also written to standard error for the log.
void showErrorMessage(const std::string& title, const std::string& text);

// A message box the program asks the user: its text, title and Windows-style style bits (button
// set in the low nibble: 0 OK, 1 OK/Cancel, 2 Abort/Retry/Ignore, 3 Yes/No/Cancel, 4 Yes/No,
// 5 Retry/Cancel; icon 16 stop, 32 question, 48 warning, 64 information; 4096 system modal,
// 8192 task modal). The answer is the number of the button pressed: 1 OK, 2 Cancel, 3 Abort,
// 4 Retry, 5 Ignore, 6 Yes, 7 No.
struct MessageBoxRequest {
    std::string text;
    std::string title;
    std::uint32_t style = 0;
};

// The button a box answers with when nobody can press one: its first button.
int defaultMessageBoxAnswer(std::uint32_t style);

// Shows the box and waits for the answer. The automation driver may take every box instead (see
// setMessageBoxInterceptor); without a display the box is written to standard error and answered
// with its first button.
int askMessageBox(const MessageBoxRequest& request);

// While set, every box goes to `interceptor` instead of the screen (null removes it).
void setMessageBoxInterceptor(std::function<int(const MessageBoxRequest&)> interceptor);

}  // namespace quillora::platform
