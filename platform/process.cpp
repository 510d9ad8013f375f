#include "platform/process.h"

#include <QCoreApplication>
#include <QMetaObject>

#include <cstdio>
#include <unistd.h>

namespace quillora::platform {

void endProcess(std::int32_t exitCode)
{
    std::fflush(stdout);
    std::fflush(stderr);
    _exit(exitCode);
}

std::string currentDirectory()
{
    char buffer[4096];
    return getcwd(buffer, sizeof buffer) ? std::string(buffer) : std::string(".");
}

bool setCurrentDirectory(const std::string& directory)
{
    return chdir(directory.c_str()) == 0;
}

bool postToMainThread(std::function<void()> task)
{
    QCoreApplication* application = QCoreApplication::instance();
    if (!application)
        return false;
    return QMetaObject::invokeMethod(application, std::move(task), Qt::QueuedConnection);
}

}  // namespace quillora::platform
