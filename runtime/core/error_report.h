// The runtime error report: the one way a failure inside the runtime ends the program.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace quillora::runtime {

// The message of a runtime error code (1..11), or empty for any other code.
std::string_view runtimeErrorMessage(std::int32_t code);

// The report's text: "运行时出错!", then a "错误代码：" line when the code is non-zero and an
// "错误信息：" line when the message is not empty.
std::string buildErrorReportText(std::int32_t code, std::string_view message);

// Counts the report, gives the error hook a chance to take it, shows the report in a message box
// titled "错误" and ends the program with exit code -1.
[[noreturn]] void reportRuntimeError(std::int32_t code, std::string_view message);

// Entry 1 of the entry table: the report with the code's own message.
[[noreturn]] void reportRuntimeErrorCode(std::int32_t code);

// The error hook receives (report count, code, message); a non-zero result skips the message
// box. The program still ends.
using ErrorHook = int (*)(std::int32_t reportCount, std::int32_t code, const char* message);
void setErrorHook(ErrorHook hook);

// Reports counted since start (for tests and the automation driver).
std::int32_t reportCount();

}  // namespace quillora::runtime
