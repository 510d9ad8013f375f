// The automation driver's parts that need no running program: splitting script lines into words,
// the verb table, and "press" on the buttons of dialogs that are not form windows.
#include "runtime/automation/script.h"
#include "runtime/automation/verbs.h"

#include <QApplication>
#include <QDialog>
#include <QPushButton>
#include <QVBoxLayout>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

namespace quillora::runtime {
namespace {

using testing::ElementsAreArray;

struct SplitCase {
    const char* line;
    std::vector<std::string> words;
};

class SplitWords : public testing::TestWithParam<SplitCase> {};

TEST_P(SplitWords, GivesTheWordsOfTheLine)
{
    std::vector<std::string> words;
    std::string problem;
    ASSERT_TRUE(splitWords(GetParam().line, words, problem)) << problem;
    EXPECT_THAT(words, ElementsAreArray(GetParam().words));
}

INSTANTIATE_TEST_SUITE_P(Lines, SplitWords, testing::Values(
    SplitCase{"click MainWindow.按钮_确定", {"click", "MainWindow.按钮_确定"}},
    SplitCase{"  echo\ttwo   words  ", {"echo", "two", "words"}},
    SplitCase{"# only a comment", {}},
    SplitCase{"echo a # then a comment", {"echo", "a"}},
    SplitCase{"echo a#b", {"echo", "a#b"}},
    SplitCase{R"(type W.U "a b")", {"type", "W.U", "a b"}},
    SplitCase{R"(echo "say \"hi\" \\ and\nmore")", {"echo", "say \"hi\" \\ and\nmore"}},
    SplitCase{R"(echo x"y z"w)", {"echo", "xy zw"}},
    SplitCase{R"(echo "")", {"echo", ""}},
    SplitCase{R"(echo "# not a comment")", {"echo", "# not a comment"}},
    SplitCase{"answer folder D:\\album", {"answer", "folder", "D:\\album"}}));

TEST(SplitWordsRefuses, AQuoteThatIsNotClosed)
{
    std::vector<std::string> words;
    std::string problem;
    EXPECT_FALSE(splitWords(R"(echo "open)", words, problem));
    EXPECT_EQ(problem, "unterminated quote");
}

TEST(WholeNumber, TakesPlainDigitsThatFitOnly)
{
    EXPECT_EQ(wholeNumber("0"), 0);
    EXPECT_EQ(wholeNumber("30000"), 30000);
    EXPECT_EQ(wholeNumber("999999999"), 999999999);
    for (const char* bad : {"", "-1", "+5", "1.5", "12ms", "1000000000", " 7"})
        EXPECT_FALSE(wholeNumber(bad).has_value()) << bad;
}

TEST(VerbTable, EveryVerbIsFoundByItsNameAndItsUsageBeginsWithIt)
{
    std::set<std::string_view> names;
    for (const Verb& verb : verbTable()) {
        EXPECT_TRUE(names.insert(verb.name).second) << "twice: " << verb.name;
        EXPECT_EQ(findVerb(verb.name), &verb);
        EXPECT_TRUE(verb.usage.starts_with(verb.name)) << verb.usage;
        EXPECT_LE(verb.leastArguments, verb.mostArguments) << verb.name;
        EXPECT_NE(verb.run, nullptr) << verb.name;
        // Only the waits and sleep go on by themselves.
        EXPECT_EQ(verb.waits, verb.name.starts_with("wait-") || verb.name == "watch-text" || verb.name == "sleep")
            << verb.name;
        // The lines that set a unit's value or the focus hold the script until they are done.
        const std::set<std::string_view> holding = {"type", "focus", "check", "select", "tree", "slide", "key"};
        EXPECT_EQ(verb.holds, holding.contains(verb.name)) << verb.name;
    }
    EXPECT_EQ(findVerb("frobnicate"), nullptr);
    for (const char* documented : {"click", "dblclick", "type", "focus", "check", "select", "tree", "slide", "key",
                                   "press", "close", "menu", "answer", "load", "wait-idle", "wait-loaded",
                                   "wait-closed", "wait-text", "watch-text", "sleep", "echo", "quit", "dump", "rows", "status",
                                   "screenshot", "focused", "enabled", "events"})
        EXPECT_NE(findVerb(documented), nullptr) << documented;
}

// A shown dialog with one push button, counting its clicks.
struct ButtonDialog {
    explicit ButtonDialog(const QString& caption)
    {
        auto* layout = new QVBoxLayout(&dialog);
        button = new QPushButton(caption, &dialog);
        layout->addWidget(button);
        QObject::connect(button, &QPushButton::clicked, [this] { ++clicks; });
    }

    QDialog dialog;
    QPushButton* button = nullptr;
    int clicks = 0;
};

ScriptLine pressLine(const char* caption)
{
    return ScriptLine{1, {"press", caption}};
}

TEST(Press, ClicksTheButtonOfAShownDialogByItsCaption)
{
    ButtonDialog status(QString::fromUtf8("中止打印"));
    status.dialog.show();
    runPress(pressLine("中止打印"));
    EXPECT_EQ(status.clicks, 1);
}

TEST(Press, ReadsTheCaptionAsShownWithoutItsMnemonicMark)
{
    ButtonDialog dialog(QStringLiteral("&Abort"));
    dialog.dialog.show();
    runPress(pressLine("Abort"));
    EXPECT_EQ(dialog.clicks, 1);
}

TEST(Press, PassesByDialogsThatAreNotShown)
{
    ButtonDialog hidden(QString::fromUtf8("确定"));
    ButtonDialog shown(QString::fromUtf8("确定"));
    shown.dialog.show();
    runPress(pressLine("确定"));
    EXPECT_EQ(hidden.clicks, 0);
    EXPECT_EQ(shown.clicks, 1);
}

}  // namespace
}  // namespace quillora::runtime
