// Commands on windows, message boxes and the cursor.
#include "platform/message_box.h"
#include "quillora/core_commands.h"
#include "runtime/core/command_arguments.h"
#include "runtime/core/core_command_table.h"
#include "runtime/core/message_loop.h"
#include "runtime/core/window_loader.h"
#include "runtime/core/window_registry.h"

#include <QApplication>
#include <QCursor>

#include <cstring>

namespace quillora {
namespace {

// The title a message box gets when the caller gives none.
constexpr std::string_view kDefaultMessageBoxTitle = "信息：";
constexpr std::uint32_t kSystemModal = 4096;
constexpr std::uint32_t kTaskModal = 8192;

// A message box shows numbers, truth values, dates and texts as "to text" does; any other kind
// of value shows an empty text.
std::string messageBoxText(const RuntimeValue& value)
{
    const bool shown = runtime::isNumberType(value.type) || value.type == static_cast<std::uint32_t>(TypeCode::Bool)
        || value.type == static_cast<std::uint32_t>(TypeCode::DateTime)
        || value.type == static_cast<std::uint32_t>(TypeCode::Text)
        || value.type == static_cast<std::uint32_t>(TypeCode::ByteSet);
    if (!shown)
        return {};
    RuntimeValue text{};
    RuntimeValue argument = value;
    ToText(&text, 1, &argument);
    std::string result = asText(text);
    std::free(asPointer(text));
    return result;
}

}  // namespace

void LoadWindow(RuntimeValue* result, std::int32_t argCount, RuntimeValue* args)
{
    const runtime::CommandArguments arguments(argCount, args);
    const auto windowId = static_cast<std::uint32_t>(arguments.integer(0));
    const auto ownerId = static_cast<std::uint32_t>(arguments.integer(1));
    *result = makeBool(runtime::loadWindow(windowId, arguments.flag(2), ownerId));
}

void IsWindowLoaded(RuntimeValue* result, std::int32_t argCount, RuntimeValue* args)
{
    const runtime::CommandArguments arguments(argCount, args);
    *result = makeBool(runtime::isWindowLoaded(static_cast<std::uint32_t>(arguments.integer(0))));
}

void CloseWindow(RuntimeValue*, std::int32_t argCount, RuntimeValue* args)
{
    const runtime::CommandArguments arguments(argCount, args);
    runtime::requestWindowClose(static_cast<std::uint32_t>(arguments.integer(0)));
}

void ProcessEvents(RuntimeValue*, std::int32_t, RuntimeValue*)
{
    runtime::processPendingMessages();
}

void MessageBox(RuntimeValue* result, std::int32_t argCount, RuntimeValue* args)
{
    const runtime::CommandArguments arguments(argCount, args);
    platform::MessageBoxRequest request;
    request.text = messageBoxText(arguments.at(0));
    request.style = static_cast<std::uint32_t>(arguments.integer(1));
    if (!(request.style & kSystemModal))
        request.style |= kTaskModal;
    request.title = arguments.has(2) ? std::string(arguments.text(2)) : std::string(kDefaultMessageBoxTitle);
    *result = makeInt(platform::askMessageBox(request));
}

void WaitCursor(RuntimeValue*, std::int32_t, RuntimeValue*)
{
    if (qobject_cast<QApplication*>(QCoreApplication::instance()))
        QApplication::setOverrideCursor(Qt::WaitCursor);
}

void RestoreCursor(RuntimeValue*, std::int32_t, RuntimeValue*)
{
    if (!qobject_cast<QApplication*>(QCoreApplication::instance()))
        return;
    if (QApplication::overrideCursor())
        QApplication::restoreOverrideCursor();
    // Moving the mouse to where it already is makes the window system draw the cursor again.
    QCursor::setPos(QCursor::pos());
}

namespace runtime {

std::span<const CommandEntry> windowCommands()
{
    static const CommandEntry table[] = {
        {"LoadWindow", &LoadWindow},       {"IsWindowLoaded", &IsWindowLoaded}, {"CloseWindow", &CloseWindow},
        {"ProcessEvents", &ProcessEvents}, {"MessageBox", &MessageBox},         {"WaitCursor", &WaitCursor},
        {"RestoreCursor", &RestoreCursor},
    };
    return table;
}

}  // namespace runtime
}  // namespace quillora
