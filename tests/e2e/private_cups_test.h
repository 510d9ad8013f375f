// The fixture of the tests that run the program on the private print server: one server for each
// suite, this process pointed at it (CUPS_SERVER, CUPS_SERVERROOT, HOME), which the program
// inherits, and every variable a test changed set back after it.
#pragma once

#include "e2e_support.h"
#include "private_cups.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace quillora::e2e {

class PrivateCupsTest : public testing::Test {
protected:
    static inline test::PrivateCups* cups = nullptr;
    TestMachine machine;

    static void SetUpTestSuite() { cups = new test::PrivateCups(); }
    static void TearDownTestSuite()
    {
        delete cups;
        cups = nullptr;
    }

    void SetUp() override
    {
        ASSERT_TRUE(cups->started()) << cups->problem();
        for (const char* name : {"CUPS_SERVER", "CUPS_SERVERROOT", "HOME"})
            keep(name);
        // The program inherits the server; its HOME is the machine's own.
        cups->useFromThisProcess();
    }
    void TearDown() override
    {
        for (auto kept = saved_.rbegin(); kept != saved_.rend(); ++kept)
            kept->second ? setenv(kept->first.c_str(), kept->second->c_str(), 1) : unsetenv(kept->first.c_str());
        saved_.clear();
    }

    // Sets a variable of this process (and so of the program) for this test.
    void setForThisTest(const char* name, const std::string& value)
    {
        keep(name);
        setenv(name, value.c_str(), 1);
    }

private:
    void keep(const char* name)
    {
        const char* value = std::getenv(name);
        saved_.emplace_back(name, value ? std::optional<std::string>(value) : std::nullopt);
    }

    // Set back in reverse order, so a variable kept twice gets its first value.
    std::vector<std::pair<std::string, std::optional<std::string>>> saved_;
};

}  // namespace quillora::e2e
