// Print documents that do not get through, as a user meets them: the program run under the
// automation driver against the private print server, with the network between them in the
// test's hands (print_server_proxy.h), and on the built-in PDF printer with its folder on a disk
// that fills. Each time: no crash, no hang, a message box naming the document and the reason, the
// pages already made kept, no partial file, later documents never sent to another printer, and a
// closing status that counts what was not printed.
#include "e2e_support.h"
#include "print_server_proxy.h"
#include "private_cups_test.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sys/mount.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <optional>
#include <random>
#include <regex>
#include <thread>

namespace quillora::e2e {
namespace {

namespace fs = std::filesystem;
using testing::HasSubstr;

// A 24-bit BMP of random pixels: a picture no compression makes small.
std::string noisyBmp(int width, int height)
{
    std::string bytes = tinyBmp(width, height, 0, 0, 0);
    std::mt19937 random(7);
    for (std::size_t at = 54; at < bytes.size(); ++at)
        bytes[at] = static_cast<char>(random() & 0xFF);
    return bytes;
}

// The message boxes of a run: title and text, in order.
struct Box {
    std::string title;
    std::string text;
};

std::vector<Box> messageBoxes(const std::string& output)
{
    std::vector<Box> boxes;
    for (const std::string& line : linesOf(output)) {
        if (!line.starts_with("message-box\t"))
            continue;
        const auto title = line.find('\t') + 1;
        const auto text = line.find('\t', title) + 1;
        boxes.push_back({line.substr(title, text - 1 - title), line.substr(text, line.rfind('\t') - text)});
    }
    return boxes;
}

std::string statusOf(const std::string& output)
{
    std::string status;
    for (const std::string& line : linesOf(output))
        if (line.starts_with("status\t"))
            status = line.substr(7);
    return status;
}

// The files of a folder by name (none when it does not exist).
std::vector<std::string> filesIn(const fs::path& folder)
{
    std::vector<std::string> names;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(folder, error))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

// The album: D:\album\a with three pictures, b with two, c with one; at one picture a page each
// folder is one document, the first of three pages.
class PrintFaultTest : public PrivateCupsTest {
protected:
    void SetUp() override
    {
        PrivateCupsTest::SetUp();
        if (HasFatalFailure())
            return;
        // The program's temporary files go where the test can see them.
        fs::create_directories(temporary());
        setForThisTest("TMPDIR", temporary().string());
        machine.addDrive('D', "fixed", "Photos");
        const fs::path album = machine.drive('D') / "album";
        for (int i = 1; i <= 3; ++i)
            machine.writeFile(album / "a" / ("a" + std::to_string(i) + ".bmp"), tinyBmp(64, 48, 200, 40, 40));
        for (int i = 1; i <= 2; ++i)
            machine.writeFile(album / "b" / ("b" + std::to_string(i) + ".bmp"), tinyBmp(48, 64, 40, 200, 40));
        machine.writeFile(album / "c" / "c1.bmp", tinyBmp(64, 64, 40, 40, 200));
    }

    void TearDown() override
    {
        if (cups && cups->started())
            for (const char* queue : {"VirtualA4", "VirtualCustom"})
                cups->run({"cupsaccept", queue});
        PrivateCupsTest::TearDown();
    }

    fs::path temporary() const { return machine.root() / "tmp"; }
    fs::path pdfFolder() const { return machine.home() / "Documents" / "Quillora 打印文件"; }

    // The program talks to the server through `proxy`.
    void throughProxy(const PrintServerProxy& proxy) { setForThisTest("CUPS_SERVER", proxy.server()); }

    // Search D:\album with its sub-folders, folder-wise printing, "准备打印", the settings window
    // confirmed for `printer` at 150 × 200 mm, one picture a page, and the job run to its end.
    static std::string jobLines(const std::string& printer)
    {
        SettingsChoice choice;
        choice.printer = printer;
        choice.widthMm = 150;
        choice.heightMm = 200;
        choice.rows = 1;
        choice.columns = 1;
        choice.copies = 1;
        return "tree MainWindow.树型框_文件夹 Photos(D:)\n"
               "tree MainWindow.树型框_文件夹 Photos(D:)/album\n"
               "check MainWindow.选择框_包括文件夹 on\n"
               "click MainWindow.按钮_文件夹搜索\nwait-idle\n"
               "check MainWindow.选择框_按文件夹分类 on\n"
               "click MainWindow.按钮_文件夹准备打印\n" +
               settingsWindowLines(choice) + "wait-idle 60000\nstatus\n";
    }

    // What the program left in its temporary folder: nothing once it has ended.
    std::vector<std::string> temporaryLeftovers() const { return filesIn(temporary()); }
};

// Acts once between the first two batches of a job: when the program opens its next connection
// after a document was handed over completely. It outlives the proxy whose threads call it.
class BetweenBatches {
public:
    explicit BetweenBatches(std::function<void(PrintServerProxy&)> action) : action_(std::move(action)) {}
    void watch(PrintServerProxy& proxy)
    {
        proxy.onRequest([this](int operation) {
            if (operation == kIppSendDocument || operation == kIppPrintJob)
                documentSent_ = true;
            return true;
        });
        proxy.onConnection([this, &proxy] {
            if (documentSent_ && !done_.exchange(true))
                action_(proxy);
        });
    }
    bool done() const { return done_; }

private:
    std::function<void(PrintServerProxy&)> action_;
    std::atomic<bool> documentSent_ = false;
    std::atomic<bool> done_ = false;
};

TEST_F(PrintFaultTest, AServerGoneBeforeTheDocumentIsHandedOverKeepsItAsAPdfAndStopsTheJob)
{
    // The server answers while the first document starts and its pages are drawn, and is gone
    // when the finished document is handed over: the request that would create the job never
    // arrives.
    PrintServerProxy proxy(cups->server());
    ASSERT_TRUE(proxy.started());
    proxy.onRequest([](int operation) { return operation != kIppCreateJob && operation != kIppPrintJob; });
    throughProxy(proxy);
    const std::size_t known = cups->jobFiles("VirtualCustom").size();
    const std::optional<test::RecordedJob> jobBefore = cups->lastJob("VirtualCustom");

    // After the job a settings window finds no server; then the server is back, and the next
    // settings window, opened at once (well within the pause after a failed connection), lists
    // its printers again.
    const std::string listLines = "click MainWindow.按钮_打印预览\nwait-loaded PrintSettingsWindow\n"
                                  "echo list\ndump PrintSettingsWindow.组合框_打印机列表\necho end\n"
                                  "close PrintSettingsWindow\nwait-idle\n";
    const RunResult run = machine.run(jobLines("VirtualCustom") + listLines + pauseLine("server-back") + listLines,
                                      120, [&](const std::string& name) {
                                          if (name == "server-back")
                                              proxy.comeBack();
                                      });
    ASSERT_EQ(run.exitCode, 0) << run.errors;

    // One message box: the document, the reason, and the full path of the PDF it was kept as.
    const std::vector<Box> boxes = messageBoxes(run.output);
    ASSERT_EQ(boxes.size(), 1u) << run.output;
    EXPECT_EQ(boxes[0].title, "打印失败");
    EXPECT_TRUE(std::regex_search(boxes[0].text, std::regex("^文档“[0-9]{1,4}_宽高：1500×2000，方向：0”没有打印：")))
        << boxes[0].text;
    EXPECT_THAT(boxes[0].text, HasSubstr("没有打印：打印服务器（" + proxy.server() + "）不再应答。"));
    const std::vector<std::string> kept = filesIn(pdfFolder());
    ASSERT_EQ(kept.size(), 1u);
    EXPECT_TRUE(std::regex_match(kept[0], std::regex("[0-9]{1,4}_宽高：1500×2000，方向：0\\.pdf"))) << kept[0];
    EXPECT_THAT(boxes[0].text, HasSubstr("“Quillora 打印文件”里：\\r\\n" + (pdfFolder() / kept[0]).string() + "\\r\\n"));
    // Nothing already made is lost: the kept document has the folder's three pages.
    const std::optional<test::PdfFacts> facts = test::readPdf((pdfFolder() / kept[0]).string());
    ASSERT_TRUE(facts);
    EXPECT_EQ(facts->pages, 3);
    EXPECT_NEAR(facts->width, 150 * 72 / 25.4, 1.5);

    // The job stopped there: the two other folders were not printed, and the status says so.
    EXPECT_EQ(statusOf(run.output), "打印完毕！但有3份文档未能打印，原因见提示。");
    const std::vector<int> operations = proxy.operations();
    EXPECT_EQ(std::count(operations.begin(), operations.end(), kIppCreateJob), 1)
        << "a job was asked for after the first one was cut off";
    EXPECT_EQ(cups->jobFiles("VirtualCustom").size(), known);
    const std::optional<test::RecordedJob> jobAfter = cups->lastJob("VirtualCustom");
    EXPECT_EQ(jobAfter ? jobAfter->id : 0, jobBefore ? jobBefore->id : 0);
    EXPECT_TRUE(temporaryLeftovers().empty()) << testing::PrintToString(temporaryLeftovers());

    // While the server was gone the settings window could offer the PDF printer alone; once it
    // is back, the next window lists its printers again.
    std::vector<std::vector<std::string>> lists;
    for (const std::string& line : linesOf(run.output)) {
        if (line == "list")
            lists.emplace_back();
        else if (line.starts_with("item\tPrintSettingsWindow.组合框_打印机列表\t") && !lists.empty())
            lists.back().push_back(line.substr(line.rfind('\t') + 1));
    }
    ASSERT_EQ(lists.size(), 2u) << run.output;
    EXPECT_EQ(lists[0], (std::vector<std::string>{"PDF 打印机"}));
    EXPECT_EQ(lists[1], (std::vector<std::string>{"VirtualA4", "VirtualCustom", "PDF 打印机"}));
}

TEST_F(PrintFaultTest, AServerThatStopsAnsweringWhenTheDocumentIsHandedOverDoesNotHangTheProgram)
{
    // The server takes the request that would create the job and never answers it.
    // The hooks' flags outlive the proxy whose threads read them.
    std::atomic<bool> release = false;
    PrintServerProxy proxy(cups->server());
    ASSERT_TRUE(proxy.started());
    proxy.onRequest([&](int operation) {
        if (operation != kIppCreateJob && operation != kIppPrintJob)
            return true;
        for (int waited = 0; waited < 60000 && !release; waited += 10)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        return false;
    });
    throughProxy(proxy);

    const auto started = std::chrono::steady_clock::now();
    const RunResult run = machine.run(jobLines("VirtualCustom"), 120, [](const std::string&) {});
    const auto took = std::chrono::steady_clock::now() - started;
    release = true;
    ASSERT_EQ(run.exitCode, 0) << run.errors;
    // The program gives up on a server that does not answer after a few seconds.
    EXPECT_LT(took, std::chrono::seconds(30));
    const std::vector<Box> boxes = messageBoxes(run.output);
    ASSERT_EQ(boxes.size(), 1u) << run.output;
    EXPECT_THAT(boxes[0].text, HasSubstr("没有打印：打印服务器（" + proxy.server() + "）不再应答。"));
    const std::vector<std::string> kept = filesIn(pdfFolder());
    ASSERT_EQ(kept.size(), 1u);
    const std::optional<test::PdfFacts> facts = test::readPdf((pdfFolder() / kept[0]).string());
    ASSERT_TRUE(facts);
    EXPECT_EQ(facts->pages, 3);
    EXPECT_EQ(statusOf(run.output), "打印完毕！但有3份文档未能打印，原因见提示。");
    EXPECT_TRUE(temporaryLeftovers().empty()) << testing::PrintToString(temporaryLeftovers());
}

TEST_F(PrintFaultTest, AQueueThatStartsRejectingBetweenTwoBatchesStopsTheJobWithAMessage)
{
    // The first folder's document is handed over completely; before the program asks the server
    // anything more, the queue starts rejecting jobs.
    BetweenBatches reject([](PrintServerProxy&) { EXPECT_EQ(cups->run({"cupsreject", "VirtualCustom"}), 0); });
    PrintServerProxy proxy(cups->server());
    ASSERT_TRUE(proxy.started());
    reject.watch(proxy);
    throughProxy(proxy);
    const std::size_t known = cups->jobFiles("VirtualCustom").size();
    const std::size_t knownA4 = cups->jobFiles("VirtualA4").size();

    const RunResult run = machine.run(jobLines("VirtualCustom"), 120, [](const std::string&) {});
    ASSERT_EQ(run.exitCode, 0) << run.errors;
    ASSERT_TRUE(reject.done());

    // The first folder arrived, with its three pages.
    ASSERT_TRUE(cups->waitForJobFile("VirtualCustom", known));
    const std::vector<std::string> files = cups->jobFiles("VirtualCustom");
    ASSERT_EQ(files.size(), known + 1);
    const std::optional<test::PdfFacts> first = test::readPdf(files.back());
    ASSERT_TRUE(first);
    EXPECT_EQ(first->pages, 3);

    // The second one did not start, and the user was told why; it went to no other printer.
    const std::vector<Box> boxes = messageBoxes(run.output);
    ASSERT_EQ(boxes.size(), 1u) << run.output;
    EXPECT_EQ(boxes[0].title, "打印失败");
    EXPECT_THAT(boxes[0].text, HasSubstr("没有打印：打印机“VirtualCustom”现在不接受打印作业。"));
    EXPECT_THAT(boxes[0].text, HasSubstr("打印机“VirtualCustom”现在无法使用，文档也没有改送别的打印机"));
    EXPECT_TRUE(std::regex_search(boxes[0].text, std::regex("^文档“[0-9]{1,4}_宽高：1500×2000，方向：0”没有打印")));
    EXPECT_EQ(statusOf(run.output), "打印完毕！但有2份文档未能打印，原因见提示。");
    EXPECT_TRUE(filesIn(pdfFolder()).empty()) << "a document went to the PDF printer";
    EXPECT_EQ(cups->jobFiles("VirtualA4").size(), knownA4);
    EXPECT_TRUE(temporaryLeftovers().empty()) << testing::PrintToString(temporaryLeftovers());
}

TEST_F(PrintFaultTest, AServerGoneBetweenTwoBatchesStopsTheJobInsteadOfPrintingElsewhere)
{
    // The first folder's document is handed over completely; then the server is gone. The next
    // batch cannot make its printer the default, and must not fall back to the PDF printer.
    BetweenBatches goAway([](PrintServerProxy& proxy) { proxy.goAway(); });
    PrintServerProxy proxy(cups->server());
    ASSERT_TRUE(proxy.started());
    goAway.watch(proxy);
    throughProxy(proxy);
    const std::size_t known = cups->jobFiles("VirtualCustom").size();

    const RunResult run = machine.run(jobLines("VirtualCustom"), 120, [](const std::string&) {});
    ASSERT_EQ(run.exitCode, 0) << run.errors;
    ASSERT_TRUE(goAway.done());
    EXPECT_TRUE(cups->waitForJobFile("VirtualCustom", known));

    const std::vector<Box> boxes = messageBoxes(run.output);
    ASSERT_EQ(boxes.size(), 1u) << run.output;
    EXPECT_THAT(boxes[0].text, HasSubstr("没有打印：打印服务器（" + proxy.server() + "）没有应答。"));
    EXPECT_THAT(boxes[0].text, HasSubstr("打印机“VirtualCustom”现在无法使用，文档也没有改送别的打印机"));
    EXPECT_EQ(statusOf(run.output), "打印完毕！但有2份文档未能打印，原因见提示。");
    EXPECT_TRUE(filesIn(pdfFolder()).empty()) << "a document went to the PDF printer";
    EXPECT_TRUE(temporaryLeftovers().empty()) << testing::PrintToString(temporaryLeftovers());
}

TEST_F(PrintFaultTest, AJobTheQueueRefusesWhenItIsHandedOverIsKeptAsAPdf)
{
    // The queue starts rejecting jobs while the first document is being made: it refuses the job
    // only when the finished document is handed over.
    // The hooks' flags outlive the proxy whose threads read them.
    std::atomic<bool> rejected = false;
    PrintServerProxy proxy(cups->server());
    ASSERT_TRUE(proxy.started());
    proxy.onRequest([&](int operation) {
        if (operation == kIppCreateJob && !rejected) {
            rejected = true;
            EXPECT_EQ(cups->run({"cupsreject", "VirtualCustom"}), 0);
        }
        return true;
    });
    throughProxy(proxy);
    const std::size_t known = cups->jobFiles("VirtualCustom").size();

    const RunResult run = machine.run(jobLines("VirtualCustom"), 120, [](const std::string&) {});
    ASSERT_EQ(run.exitCode, 0) << run.errors;
    ASSERT_TRUE(rejected);

    const std::vector<Box> boxes = messageBoxes(run.output);
    ASSERT_EQ(boxes.size(), 1u) << run.output;
    EXPECT_THAT(boxes[0].text, HasSubstr("没有打印：打印机“VirtualCustom”不接受打印作业"));
    const std::vector<std::string> kept = filesIn(pdfFolder());
    ASSERT_EQ(kept.size(), 1u);
    EXPECT_THAT(boxes[0].text, HasSubstr((pdfFolder() / kept[0]).string()));
    const std::optional<test::PdfFacts> facts = test::readPdf((pdfFolder() / kept[0]).string());
    ASSERT_TRUE(facts);
    EXPECT_EQ(facts->pages, 3);
    EXPECT_EQ(statusOf(run.output), "打印完毕！但有3份文档未能打印，原因见提示。");
    EXPECT_EQ(cups->jobFiles("VirtualCustom").size(), known);
    EXPECT_TRUE(temporaryLeftovers().empty()) << testing::PrintToString(temporaryLeftovers());
}

// The built-in PDF printer's folder on a disk of 1 MB that fills while the second document is
// written. Mounting needs root, as CI runs the tests.
class FullDiskTest : public PrintFaultTest {
protected:
    void SetUp() override
    {
        PrintFaultTest::SetUp();
        if (HasFatalFailure())
            return;
        if (geteuid() != 0)
            GTEST_SKIP() << "mounting a 1 MB disk for the PDF printer's folder needs root (CI runs as root)";
        fs::create_directories(pdfFolder());
        if (mount("tmpfs", pdfFolder().c_str(), "tmpfs", MS_NOSUID | MS_NODEV, "size=1m") != 0)
            GTEST_SKIP() << "this machine does not let root mount a tmpfs: " << std::strerror(errno);
        mounted_ = true;
    }
    void TearDown() override
    {
        if (mounted_)
            umount2(pdfFolder().c_str(), MNT_DETACH);
        PrintFaultTest::TearDown();
    }

private:
    bool mounted_ = false;
};

TEST_F(FullDiskTest, TheDocumentThatDoesNotFitIsReportedAndLeavesNoPartialFile)
{
    // The first folder holds small pictures; the second a large photograph of noise, whose
    // document cannot fit in what is left of the disk.
    const fs::path album = machine.drive('D') / "album";
    fs::remove_all(album / "b");
    machine.writeFile(album / "b" / "big.bmp", noisyBmp(1000, 1000));
    // An earlier document and something else on the disk; about 400 KB stay free.
    std::ofstream(pdfFolder() / "earlier.pdf") << "earlier document";
    std::ofstream(pdfFolder() / "filler") << std::string(600 * 1024, 'f');
    const std::vector<std::string> before = filesIn(pdfFolder());

    const RunResult run = machine.run(jobLines("PDF 打印机"), 120, [](const std::string&) {});
    ASSERT_EQ(run.exitCode, 0) << run.errors;

    const std::vector<Box> boxes = messageBoxes(run.output);
    ASSERT_EQ(boxes.size(), 1u) << run.output;
    EXPECT_EQ(boxes[0].title, "打印失败");
    EXPECT_TRUE(std::regex_search(boxes[0].text, std::regex("^文档“[0-9]{1,4}_宽高：1500×2000，方向：0”没有打印：")))
        << boxes[0].text;
    EXPECT_THAT(boxes[0].text, HasSubstr("没有打印：磁盘空间不足，文档没能写完（" + pdfFolder().string() + "）"));
    EXPECT_THAT(boxes[0].text, HasSubstr("已经做好的页面没能保存下来，也没有留下不完整的文件"));
    // The first folder's document did go to the PDF printer's folder, and the status says where.
    EXPECT_EQ(statusOf(run.output), "打印完毕！但有2份文档未能打印，原因见提示。PDF 文件在“" + pdfFolder().string() + "”里。")
        << run.output;

    // The first folder's document is there and whole; the earlier files are untouched; nothing
    // else — no part of the second document.
    std::vector<std::string> written;
    for (const std::string& name : filesIn(pdfFolder()))
        if (std::find(before.begin(), before.end(), name) == before.end())
            written.push_back(name);
    ASSERT_EQ(written.size(), 1u) << testing::PrintToString(filesIn(pdfFolder()));
    EXPECT_TRUE(std::regex_match(written[0], std::regex("[0-9]{1,4}_宽高：1500×2000，方向：0\\.pdf"))) << written[0];
    const std::optional<test::PdfFacts> facts = test::readPdf((pdfFolder() / written[0]).string());
    ASSERT_TRUE(facts);
    EXPECT_EQ(facts->pages, 3);
    EXPECT_EQ(contentOf(pdfFolder() / "earlier.pdf"), "earlier document");
    EXPECT_EQ(contentOf(pdfFolder() / "filler").size(), 600u * 1024);
    EXPECT_TRUE(temporaryLeftovers().empty()) << testing::PrintToString(temporaryLeftovers());
}

}  // namespace
}  // namespace quillora::e2e
