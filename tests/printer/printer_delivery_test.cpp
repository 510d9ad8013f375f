// A document the printer does not take: the printer unit tells how its job ended, keeps a
// finished document as a PDF file where the built-in PDF printer keeps its documents, and leaves
// no temporary file; and why a printer cannot take a document, in words for the user.
#include "printer_test_support.h"

#include <sys/mount.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>

namespace quillora::test {
namespace {

namespace fs = std::filesystem;

std::vector<std::string> filesIn(const std::string& folder)
{
    std::vector<std::string> names;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(folder, error))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

class PrinterDelivery : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(privateCups().started()) << privateCups().problem();
        ASSERT_TRUE(host.loaded());
        runtime::clearProgramDefaultPrinter();
        HostPrinter::set(kPrinterScaleMode, 1);
        HostPrinter::setText(kPrinterDocumentName, "相册 交付");
        std::error_code error;
        fs::remove_all(runtime::builtInPdfFolder(), error);
        // The queue's temporary documents go where the test can see them.
        const char* old = std::getenv("TMPDIR");
        savedTemporary_ = old ? old : "";
        temporary_ = fs::temp_directory_path() / ("quillora-delivery-" + std::to_string(getpid()));
        fs::create_directories(temporary_);
        setenv("TMPDIR", temporary_.c_str(), 1);
    }
    void TearDown() override
    {
        if (HostPrinter::unit())
            Call().run(printerEndPrinting);
        runtime::clearProgramDefaultPrinter();
        setenv("CUPS_SERVER", privateCups().server().c_str(), 1);
        privateCups().run({"cupsaccept", "VirtualCustom"});
        savedTemporary_.empty() ? unsetenv("TMPDIR") : setenv("TMPDIR", savedTemporary_.c_str(), 1);
        std::error_code error;
        fs::remove_all(temporary_, error);
    }

    static std::int32_t outcome() { return asInt(HostPrinter::get(kPrinterJobOutcome)); }
    static std::string textOf(std::int32_t kindIndex)
    {
        const RuntimeValue value = HostPrinter::get(kindIndex);
        std::string text = asText(value);
        runtime::freeBlock(asPointer(value));
        return text;
    }
    bool temporaryIsEmpty() const { return fs::is_empty(temporary_); }

    HostPrinter host;
    fs::path temporary_;
    std::string savedTemporary_;
};

TEST_F(PrinterDelivery, ADeliveredDocumentSaysSo)
{
    ASSERT_TRUE(Call::withoutUnit().text("VirtualCustom").runBool(SetDefaultPrinter));
    const std::size_t known = privateCups().jobFiles("VirtualCustom").size();
    ASSERT_TRUE(startQuietly({2, 0}));
    EXPECT_EQ(outcome(), kPrinterJobNone);
    Call().arg(100).arg(100).text("Quillora").run(printerWriteTextAt);
    EXPECT_TRUE(Call().runBool(printerEndPrinting));
    EXPECT_EQ(outcome(), kPrinterJobDelivered);
    EXPECT_EQ(textOf(kPrinterJobProblem), "");
    EXPECT_EQ(textOf(kPrinterKeptDocument), "");
    EXPECT_EQ(textOf(kPrinterWrittenDocument), "");
    EXPECT_TRUE(privateCups().waitForJobFile("VirtualCustom", known));
    EXPECT_TRUE(temporaryIsEmpty());
    // Ending again, with no job, is no delivery.
    EXPECT_FALSE(Call().runBool(printerEndPrinting));
}

TEST_F(PrinterDelivery, ADocumentWhoseServerHasGoneIsKeptAsAPdfFile)
{
    ASSERT_TRUE(Call::withoutUnit().text("VirtualCustom").runBool(SetDefaultPrinter));
    ASSERT_TRUE(startQuietly({2, 0}));
    Call().arg(100).arg(100).text("第一页").run(printerWriteTextAt);
    ASSERT_TRUE(Call().runBool(printerNewPage));
    Call().arg(100).arg(100).text("第二页").run(printerWriteTextAt);
    // The server goes while the pages are drawn.
    const std::string gone = "127.0.0.1:" + std::to_string(freeLoopbackPort());
    setenv("CUPS_SERVER", gone.c_str(), 1);
    EXPECT_FALSE(Call().runBool(printerEndPrinting));
    EXPECT_FALSE(HostPrinter::unit()->printing());
    EXPECT_EQ(outcome(), kPrinterJobNotDelivered);
    EXPECT_EQ(textOf(kPrinterJobProblem), "打印服务器（" + gone + "）没有应答");
    const std::string kept = textOf(kPrinterKeptDocument);
    EXPECT_EQ(kept, runtime::builtInPdfFolder() + "/相册 交付.pdf");
    EXPECT_EQ(textOf(kPrinterKeepProblem), "");
    const std::optional<PdfFacts> facts = readPdf(kept);
    ASSERT_TRUE(facts);
    EXPECT_EQ(facts->pages, 2);
    EXPECT_TRUE(temporaryIsEmpty());
}

TEST_F(PrinterDelivery, AKeptDocumentNeverReplacesAnother)
{
    fs::create_directories(runtime::builtInPdfFolder());
    { std::ofstream(runtime::builtInPdfFolder() + "/相册 交付.pdf") << "an earlier document"; }
    ASSERT_TRUE(Call::withoutUnit().text("VirtualCustom").runBool(SetDefaultPrinter));
    ASSERT_TRUE(startQuietly({2, 0}));
    Call().arg(100).arg(100).text("Quillora").run(printerWriteTextAt);
    setenv("CUPS_SERVER", ("127.0.0.1:" + std::to_string(freeLoopbackPort())).c_str(), 1);
    EXPECT_FALSE(Call().runBool(printerEndPrinting));
    EXPECT_EQ(textOf(kPrinterKeptDocument), runtime::builtInPdfFolder() + "/相册 交付 (2).pdf");
    std::ifstream earlier(runtime::builtInPdfFolder() + "/相册 交付.pdf");
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(earlier), {}), "an earlier document");
}

TEST_F(PrinterDelivery, ADocumentThatCannotBeKeptEitherSaysWhyAndLeavesNothing)
{
    // Nothing can be made where the PDF printer keeps its documents: a plain file has its name.
    fs::create_directories(fs::path(runtime::builtInPdfFolder()).parent_path());
    { std::ofstream(runtime::builtInPdfFolder()) << "not a folder"; }
    ASSERT_TRUE(Call::withoutUnit().text("VirtualCustom").runBool(SetDefaultPrinter));
    ASSERT_TRUE(startQuietly({2, 0}));
    Call().arg(100).arg(100).text("Quillora").run(printerWriteTextAt);
    setenv("CUPS_SERVER", ("127.0.0.1:" + std::to_string(freeLoopbackPort())).c_str(), 1);
    EXPECT_FALSE(Call().runBool(printerEndPrinting));
    EXPECT_EQ(outcome(), kPrinterJobNotDelivered);
    EXPECT_EQ(textOf(kPrinterKeptDocument), "");
    EXPECT_EQ(textOf(kPrinterKeepProblem), "无法建立文件夹 " + runtime::builtInPdfFolder());
    EXPECT_TRUE(temporaryIsEmpty());
    fs::remove(runtime::builtInPdfFolder());
}

// A tmpfs mounted for the life of the object; mounting needs root, as CI runs the tests.
class TemporaryDisk {
public:
    TemporaryDisk(const fs::path& where, const char* size) : where_(where)
    {
        fs::create_directories(where);
        const std::string options = std::string("size=") + size;
        mounted_ = geteuid() == 0 && mount("tmpfs", where.c_str(), "tmpfs", MS_NOSUID | MS_NODEV, options.c_str()) == 0;
        if (!mounted_)
            problem_ = geteuid() != 0 ? "mounting a tmpfs needs root (CI runs as root)"
                                      : std::string("this machine does not let root mount a tmpfs: ") + std::strerror(errno);
    }
    ~TemporaryDisk()
    {
        if (mounted_)
            umount2(where_.c_str(), MNT_DETACH);
    }
    bool mounted() const { return mounted_; }
    const std::string& problem() const { return problem_; }

private:
    fs::path where_;
    bool mounted_ = false;
    std::string problem_;
};

// A 24-bit BMP of 1200 × 900 pixels of noise, which no compression makes small; drawn at 300
// pixels per inch (1016 × 762 tenths of a millimetre) it goes into a document pixel for pixel.
std::vector<std::uint8_t> noisePicture()
{
    constexpr std::uint32_t width = 1200;
    constexpr std::uint32_t height = 900;
    constexpr std::uint32_t row = width * 3;
    std::vector<std::uint8_t> bmp(54 + row * height, 0);
    const auto put32 = [&](std::size_t at, std::uint32_t value) {
        for (int i = 0; i < 4; ++i)
            bmp[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(value >> (8 * i));
    };
    bmp[0] = 'B';
    bmp[1] = 'M';
    put32(2, static_cast<std::uint32_t>(bmp.size()));
    put32(10, 54);
    put32(14, 40);
    put32(18, width);
    put32(22, height);
    bmp[26] = 1;
    bmp[28] = 24;
    std::uint32_t state = 12345;
    for (std::size_t at = 54; at < bmp.size(); ++at) {
        state = state * 1664525u + 1013904223u;
        bmp[at] = static_cast<std::uint8_t>(state >> 24);
    }
    return bmp;
}

TEST_F(PrinterDelivery, AKeptDocumentIsCopiedFromAnotherDiskWhole)
{
    // The queue's temporary document lies on a disk of its own.
    const TemporaryDisk disk(temporary_, "16m");
    if (!disk.mounted())
        GTEST_SKIP() << disk.problem();
    ASSERT_TRUE(Call::withoutUnit().text("VirtualCustom").runBool(SetDefaultPrinter));
    ASSERT_TRUE(startQuietly({2, 0}));
    Call().arg(100).arg(100).text("Quillora").run(printerWriteTextAt);
    setenv("CUPS_SERVER", ("127.0.0.1:" + std::to_string(freeLoopbackPort())).c_str(), 1);
    EXPECT_FALSE(Call().runBool(printerEndPrinting));
    const std::string kept = textOf(kPrinterKeptDocument);
    EXPECT_EQ(kept, runtime::builtInPdfFolder() + "/相册 交付.pdf");
    EXPECT_TRUE(readPdf(kept));
    EXPECT_TRUE(temporaryIsEmpty());
    EXPECT_EQ(filesIn(runtime::builtInPdfFolder()), std::vector<std::string>{"相册 交付.pdf"});
}

TEST_F(PrinterDelivery, ADocumentThatDoesNotFitWhereItWouldBeKeptLeavesNoPartialFile)
{
    // The PDF printer's folder is a disk of 1 MB with little room left; the document is larger.
    const TemporaryDisk disk(runtime::builtInPdfFolder(), "1m");
    if (!disk.mounted())
        GTEST_SKIP() << disk.problem();
    { std::ofstream(runtime::builtInPdfFolder() + "/filler") << std::string(900 * 1024, 'f'); }
    const TestPicture noise(noisePicture());
    ASSERT_TRUE(Call::withoutUnit().text("VirtualCustom").runBool(SetDefaultPrinter));
    ASSERT_TRUE(startQuietly({2, 0}));
    Call().arg(noise.handle()).arg(0).arg(0).arg(1016).arg(762).run(printerDrawPicture);
    setenv("CUPS_SERVER", ("127.0.0.1:" + std::to_string(freeLoopbackPort())).c_str(), 1);
    EXPECT_FALSE(Call().runBool(printerEndPrinting));
    EXPECT_EQ(outcome(), kPrinterJobNotDelivered);
    EXPECT_EQ(textOf(kPrinterKeptDocument), "");
    EXPECT_EQ(textOf(kPrinterKeepProblem), "磁盘空间不足（" + runtime::builtInPdfFolder() + "）");
    EXPECT_EQ(filesIn(runtime::builtInPdfFolder()), std::vector<std::string>{"filler"});
    EXPECT_TRUE(temporaryIsEmpty());
}

TEST_F(PrinterDelivery, ThePdfPrinterOnAFullDiskLeavesNoPartialFile)
{
    const TemporaryDisk disk(runtime::builtInPdfFolder(), "1m");
    if (!disk.mounted())
        GTEST_SKIP() << disk.problem();
    { std::ofstream(runtime::builtInPdfFolder() + "/filler") << std::string(900 * 1024, 'f'); }
    const TestPicture noise(noisePicture());
    ASSERT_TRUE(Call::withoutUnit().text(kBuiltInPdfPrinterName).runBool(SetDefaultPrinter));
    ASSERT_TRUE(startQuietly({2, 0}));
    Call().arg(noise.handle()).arg(0).arg(0).arg(1016).arg(762).run(printerDrawPicture);
    EXPECT_FALSE(Call().runBool(printerEndPrinting));
    EXPECT_EQ(outcome(), kPrinterJobNotDelivered);
    EXPECT_EQ(textOf(kPrinterJobProblem), "磁盘空间不足，文档没能写完（" + runtime::builtInPdfFolder() + "）");
    EXPECT_EQ(textOf(kPrinterKeptDocument), "");
    EXPECT_EQ(textOf(kPrinterKeepProblem), "");
    EXPECT_TRUE(HostPrinter::unit()->lastWrittenFile().empty());
    EXPECT_EQ(filesIn(runtime::builtInPdfFolder()), std::vector<std::string>{"filler"});
}

TEST_F(PrinterDelivery, AJobTheQueueRefusesAtTheEndIsKept)
{
    ASSERT_TRUE(Call::withoutUnit().text("VirtualCustom").runBool(SetDefaultPrinter));
    ASSERT_TRUE(startQuietly({2, 0}));
    Call().arg(100).arg(100).text("Quillora").run(printerWriteTextAt);
    ASSERT_EQ(privateCups().run({"cupsreject", "VirtualCustom"}), 0);
    EXPECT_FALSE(Call().runBool(printerEndPrinting));
    EXPECT_EQ(outcome(), kPrinterJobNotDelivered);
    EXPECT_EQ(textOf(kPrinterJobProblem), "打印机“VirtualCustom”不接受打印作业");
    EXPECT_TRUE(readPdf(textOf(kPrinterKeptDocument)));
    EXPECT_TRUE(temporaryIsEmpty());
}

TEST_F(PrinterDelivery, AStartRefusedSaysWhyAndDoesNotFallBackToAnotherPrinter)
{
    ASSERT_TRUE(Call::withoutUnit().text("VirtualCustom").runBool(SetDefaultPrinter));
    ASSERT_EQ(privateCups().run({"cupsreject", "VirtualCustom"}), 0);
    EXPECT_FALSE(startQuietly({2, 0}));
    EXPECT_EQ(outcome(), kPrinterJobNotStarted);
    EXPECT_EQ(textOf(kPrinterJobProblem), "打印机“VirtualCustom”现在不接受打印作业");

    // The program's default printer is there no more: no dialog, no other printer.
    ASSERT_EQ(privateCups().run({"cupsaccept", "VirtualCustom"}), 0);
    const std::string gone = "127.0.0.1:" + std::to_string(freeLoopbackPort());
    setenv("CUPS_SERVER", gone.c_str(), 1);
    EXPECT_FALSE(startQuietly({2, 0}));
    EXPECT_EQ(outcome(), kPrinterJobNotStarted);
    EXPECT_EQ(textOf(kPrinterJobProblem), "打印服务器（" + gone + "）没有应答");
    EXPECT_FALSE(fs::exists(runtime::builtInPdfFolder()));
}

TEST_F(PrinterDelivery, APrinterProblemIsNamedInWordsForTheUser)
{
    const auto problem = [](const char* printer) {
        return Call::withoutUnit().text(printer).runText(GetPrinterProblem);
    };
    EXPECT_EQ(problem("VirtualCustom"), "");
    EXPECT_EQ(problem(kBuiltInPdfPrinterName), "");
    EXPECT_EQ(problem("NoSuchQueue"), "打印服务器（" + privateCups().server() + "）上已经没有打印机“NoSuchQueue”");
    ASSERT_EQ(privateCups().run({"cupsreject", "VirtualCustom"}), 0);
    EXPECT_EQ(problem("VirtualCustom"), "打印机“VirtualCustom”现在不接受打印作业");
    const std::string gone = "127.0.0.1:" + std::to_string(freeLoopbackPort());
    setenv("CUPS_SERVER", gone.c_str(), 1);
    EXPECT_EQ(problem("VirtualCustom"), "打印服务器（" + gone + "）没有应答");
    // SetDefaultPrinter refuses that printer now; the program's default stays what it was.
    EXPECT_FALSE(Call::withoutUnit().text("VirtualCustom").runBool(SetDefaultPrinter));
}

TEST_F(PrinterDelivery, TheOutcomePropertiesCannotBeWritten)
{
    HostPrinter::set(kPrinterJobOutcome, kPrinterJobDelivered);
    EXPECT_EQ(outcome(), kPrinterJobNone);
}

}  // namespace
}  // namespace quillora::test
