// One private print system and one offscreen application for the whole test program. The
// environment points libcups, Qt and the documents folder at temporary folders before anything
// reads them.
#include "printer_test_support.h"

#include "platform/gui_application.h"

#include <cstdlib>

namespace quillora::test {
namespace {

PrivateCups* runningCups = nullptr;

class PrinterTestEnvironment : public ::testing::Environment {
public:
    void SetUp() override
    {
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
        unsetenv("LPDEST");
        unsetenv("PRINTER");
        runningCups = new PrivateCups();
        runningCups->useFromThisProcess();
        setenv("XDG_CONFIG_HOME", (runningCups->home() + "/.config").c_str(), 1);
        platform::startGuiApplication();
    }
    void TearDown() override
    {
        platform::stopGuiApplication();
        delete runningCups;
        runningCups = nullptr;
    }
};

[[maybe_unused]] const auto* const environment = ::testing::AddGlobalTestEnvironment(new PrinterTestEnvironment);

}  // namespace

PrivateCups& privateCups()
{
    return *runningCups;
}

}  // namespace quillora::test
