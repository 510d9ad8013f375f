// The printer-list service on the private print server: the queues and the built-in PDF
// printer, the user's default and the program's own, and the forms of a queue.
#include "printer_test_support.h"

#include <filesystem>
#include <fstream>
#include <sstream>

namespace quillora::test {
namespace {

std::string fileContent(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

// Every lpoptions file a client of this server may read: the user's and, for root, the client
// configuration's.
std::string userPrinterSettings()
{
    return fileContent(privateCups().home() + "/.cups/lpoptions") + "|"
           + fileContent(privateCups().clientRoot() + "/lpoptions");
}

class PrinterList : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(privateCups().started()) << privateCups().problem();
        runtime::clearProgramDefaultPrinter();
    }
    void TearDown() override
    {
        runtime::clearProgramDefaultPrinter();
        privateCups().run({"lpoptions", "-x", "VirtualA4"});
        std::error_code error;
        std::filesystem::remove(privateCups().home() + "/.cups/lpoptions", error);
        std::filesystem::remove(privateCups().clientRoot() + "/lpoptions", error);
    }
};

TEST_F(PrinterList, QueuesInTheServersOrderThenTheBuiltInPdfPrinter)
{
    EXPECT_EQ(Call::withoutUnit().runTexts(ListPrinters),
              (std::vector<std::string>{"VirtualA4", "VirtualCustom", kBuiltInPdfPrinterName}));
}

TEST_F(PrinterList, DefaultIsEmptyUntilTheUserOrTheProgramChoosesOne)
{
    EXPECT_EQ(Call::withoutUnit().runText(GetDefaultPrinter), "");
    ASSERT_EQ(privateCups().run({"lpoptions", "-d", "VirtualA4"}), 0);
    EXPECT_EQ(Call::withoutUnit().runText(GetDefaultPrinter), "VirtualA4");
    EXPECT_TRUE(Call::withoutUnit().text("VirtualCustom").runBool(SetDefaultPrinter));
    EXPECT_EQ(Call::withoutUnit().runText(GetDefaultPrinter), "VirtualCustom");
    EXPECT_TRUE(Call::withoutUnit().text(kBuiltInPdfPrinterName).runBool(SetDefaultPrinter));
    EXPECT_EQ(Call::withoutUnit().runText(GetDefaultPrinter), kBuiltInPdfPrinterName);
}

TEST_F(PrinterList, AnUnlistedNameChangesNothing)
{
    ASSERT_TRUE(Call::withoutUnit().text("VirtualCustom").runBool(SetDefaultPrinter));
    for (const char* name : {"NoSuchQueue", "", "virtualcustom", "VirtualCustom "})
        EXPECT_FALSE(Call::withoutUnit().text(name).runBool(SetDefaultPrinter)) << name;
    EXPECT_EQ(Call::withoutUnit().runText(GetDefaultPrinter), "VirtualCustom");
}

TEST_F(PrinterList, TheUsersDefaultIsTheSameAfterAJobThatSetAnother)
{
    ASSERT_EQ(privateCups().run({"lpoptions", "-d", "VirtualA4"}), 0);
    const std::string before = userPrinterSettings();
    ASSERT_EQ(platform::userDefaultPrintQueue(), "VirtualA4");

    HostPrinter host;
    ASSERT_TRUE(host.loaded());
    ASSERT_TRUE(Call::withoutUnit().text("VirtualCustom").runBool(SetDefaultPrinter));
    HostPrinter::setText(kPrinterDocumentName, "default-kept");
    const std::size_t known = privateCups().jobFiles("VirtualCustom").size();
    ASSERT_TRUE(startQuietly());
    Call().arg(100).arg(100).text("x").run(printerWriteTextAt);
    Call().run(printerEndPrinting);
    EXPECT_EQ(HostPrinter::unit()->lastPrinterName(), "VirtualCustom");
    EXPECT_TRUE(privateCups().waitForJobFile("VirtualCustom", known));

    EXPECT_EQ(userPrinterSettings(), before);
    EXPECT_EQ(platform::userDefaultPrintQueue(), "VirtualA4");
}

TEST_F(PrinterList, FormsOfAQueueBeginWithTheirCommonNamesAndCarryItsMargins)
{
    HostPrinter host;
    ASSERT_TRUE(Call::withoutUnit().text("VirtualCustom").runBool(SetDefaultPrinter));
    const std::vector<std::string> forms = Call().runTexts(printerListForms);
    EXPECT_EQ(forms, (std::vector<std::string>{"A5", "A4", "Letter"}));

    // The six variables are overwritten; margins come from the printable area (12 points).
    Call call;
    call.text("a4");
    for (int slot = 0; slot < 6; ++slot)
        call.absent();
    ASSERT_TRUE(call.runBool(printerGetForm));
    std::vector<std::int32_t> values;
    for (std::size_t slot = 2; slot < 8; ++slot) {
        EXPECT_EQ(call.at(slot).type, static_cast<std::uint32_t>(TypeCode::Integer));
        values.push_back(asInt(call.at(slot)));
    }
    EXPECT_EQ(values, (std::vector<std::int32_t>{2100, 2970, 42, 42, 42, 42}));

    Call missing;
    missing.text("A0").arg(7).arg(7).arg(7).arg(7).arg(7).arg(7);
    EXPECT_FALSE(missing.runBool(printerGetForm));
    EXPECT_EQ(asInt(missing.at(2)), 7);
}

TEST_F(PrinterList, WithoutAServerOnlyTheBuiltInPdfPrinterIsListed)
{
    const NoPrintServer gone;
    EXPECT_EQ(Call::withoutUnit().runTexts(ListPrinters), (std::vector<std::string>{kBuiltInPdfPrinterName}));
    EXPECT_EQ(Call::withoutUnit().runText(GetDefaultPrinter), "");
    EXPECT_FALSE(Call::withoutUnit().text("VirtualA4").runBool(SetDefaultPrinter));

    // The forms are then those of the built-in printer, the common papers to the edge.
    HostPrinter host;
    const std::vector<std::string> forms = Call().runTexts(printerListForms);
    ASSERT_FALSE(forms.empty());
    EXPECT_EQ(forms.front(), "A4");
    Call call;
    call.text("A5").arg(0).arg(0).arg(1).arg(1).arg(1).arg(1);
    ASSERT_TRUE(call.runBool(printerGetForm));
    EXPECT_EQ(asInt(call.at(2)), 1480);
    EXPECT_EQ(asInt(call.at(3)), 2100);
    EXPECT_EQ(asInt(call.at(4)), 0);
    EXPECT_EQ(asInt(call.at(7)), 0);
}

}  // namespace
}  // namespace quillora::test
