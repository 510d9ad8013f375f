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
