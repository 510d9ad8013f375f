// The unit tests build real Qt widgets: one offscreen application for the whole test program.
#include <QApplication>

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

class UnitsTestEnvironment : public testing::Environment {
public:
    void SetUp() override
    {
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
        static int argc = 1;
        static char name[] = "quillora_units_tests";
        static char* argv[] = {name, nullptr};
        application_ = new QApplication(argc, argv);
    }

    void TearDown() override
    {
        delete application_;
        application_ = nullptr;
    }

private:
    QApplication* application_ = nullptr;
};

const testing::Environment* const environment = testing::AddGlobalTestEnvironment(new UnitsTestEnvironment);

}  // namespace
