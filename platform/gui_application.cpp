#include "platform/gui_application.h"

#include "platform/program_image.h"
#include "platform/widget_style.h"

#include <QApplication>

#include <cstdlib>
#include <string>

namespace quillora::platform {
namespace {

QApplication* application = nullptr;

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
