// Fonts and painters need the windowing application; the whole test program shares one, on the
// offscreen platform when there is no display.
#include "platform/gui_application.h"

#include <gtest/gtest.h>

namespace {

class GuiApplicationEnvironment : public ::testing::Environment {
public:
    void SetUp() override { quillora::platform::startGuiApplication(); }
    void TearDown() override { quillora::platform::stopGuiApplication(); }
};

[[maybe_unused]] const auto* const environment =
    ::testing::AddGlobalTestEnvironment(new GuiApplicationEnvironment);

}  // namespace
