// Panels are real Qt widgets: one offscreen application for the whole test program.
#include "platform/gui_application.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

class PrintingTestEnvironment : public ::testing::Environment {
public:
    void SetUp() override
    {
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
        quillora::platform::startGuiApplication();
    }
    void TearDown() override { quillora::platform::stopGuiApplication(); }
};

[[maybe_unused]] const auto* const environment =
    ::testing::AddGlobalTestEnvironment(new PrintingTestEnvironment);

}  // namespace
