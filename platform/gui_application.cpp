#include "platform/gui_application.h"

#include "platform/program_image.h"
#include "platform/widget_style.h"

#include <QApplication>

#include <cstdlib>
#include <string>

namespace quillora::platform {
namespace {

QApplication* application = nullptr;
QtMessageHandler qtHandler = nullptr;

// Two notes Qt prints on every start without a desktop session or without a display, about what
// it then does by itself and correctly: they tell the user nothing and hide the lines that do.
bool isStartupNoise(const QString& message)
{
    return message.startsWith(QLatin1String("QStandardPaths: XDG_RUNTIME_DIR not set"))
        || message.startsWith(QLatin1String("This plugin does not support propagateSizeHints()"));
}

void filterQtMessages(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if ((type == QtWarningMsg || type == QtDebugMsg || type == QtInfoMsg) && isStartupNoise(message))
        return;
    if (qtHandler)
        qtHandler(type, context, message);
}

bool displayConfigured()
{
    const char* x11 = std::getenv("DISPLAY");
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    return (x11 && *x11) || (wayland && *wayland) || std::getenv("QT_QPA_PLATFORM");
}

}  // namespace

void startGuiApplication(bool withoutWindows)
{
    if (application || QCoreApplication::instance())
        return;
    if (withoutWindows || !displayConfigured())
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    // Qt keeps references to argc and argv for the application's lifetime.
    static std::string programName = programPath();
    static char* argv[] = {programName.data(), nullptr};
    static int argc = 1;
    qtHandler = qInstallMessageHandler(filterQtMessages);
    application = new QApplication(argc, argv);
    installFormWidgetStyle();
}

void stopGuiApplication()
{
    delete application;
    application = nullptr;
}

bool guiApplicationRunning()
{
    return QCoreApplication::instance() != nullptr;
}

}  // namespace quillora::platform
