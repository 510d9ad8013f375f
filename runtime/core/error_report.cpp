#include "runtime/core/error_report.h"

#include "platform/message_box.h"
#include "runtime/core/events.h"
#include "runtime/core/program_exit.h"

#include <array>
#include <atomic>

namespace quillora::runtime {
namespace {

constexpr std::array<std::string_view, 11> kMessages = {
    "数组成员引用下标超出定义范围",
    "未得到所需要的数值型数据",
    "引用数组成员时维数不为1且不等于该数组目前所具有的维数",
    "数组成员引用下标必须大于等于1",
    "数据或数组类型不匹配",
    "调用DLL命令后发现堆栈错误",
    "子语句参数未返回数据或者返回了非系统基本类型或数组型数据",
    "被比较数据只能使用等于或不等于命令比较",
    "“多项选择”命令的索引值参数小于零或超出了所提供参数表范围",
    "“重定义数组”命令的数组维定义参数值必须大于零或单维时大于等于零",
    "所提供参数的数据类型不符合要求",
};

std::atomic<std::int32_t> reports{0};
std::atomic<ErrorHook> errorHook{nullptr};
std::atomic<bool> hookRunning{false};

}  // namespace

std::string_view runtimeErrorMessage(std::int32_t code)
{
    if (code < 1 || code > static_cast<std::int32_t>(kMessages.size()))
        return {};
    return kMessages[static_cast<std::size_t>(code - 1)];
}

std::string buildErrorReportText(std::int32_t code, std::string_view message)
{
    std::string text = "运行时出错!\r\n\r\n";
    if (code != 0) {
        text += "错误代码：";
        text += std::to_string(code);
        text += "\r\n\r\n";
    }
    if (!message.empty()) {
        text += "错误信息：";
        text += message;
        text += "\r\n";
    }
    return text;
}

void reportRuntimeError(std::int32_t code, std::string_view message)
{
    const std::int32_t count = ++reports;
    // Nothing fires any more: the program is on its way out.
    suppressEvents();
    bool handled = false;
    ErrorHook hook = errorHook.load();
    // A failure inside the hook itself must not call the hook again.
    if (hook && !hookRunning.exchange(true)) {
        const std::string messageText(message);
        handled = hook(count, code, messageText.c_str()) != 0;
        hookRunning = false;
    }
    if (!handled)
        platform::showErrorMessage("错误", buildErrorReportText(code, message));
    clearExitHook();
    exitProgram(-1);
}

void reportRuntimeErrorCode(std::int32_t code)
{
    reportRuntimeError(code, runtimeErrorMessage(code));
}

void setErrorHook(ErrorHook hook)
{
    errorHook = hook;
}

std::int32_t reportCount()
{
    return reports.load();
}

}  // namespace quillora::runtime
