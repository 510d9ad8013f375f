#include "quillora/entry_table.h"
#include "quillora/runtime_services.h"
#include "runtime/core/error_report.h"
#include "runtime/core/program_exit.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace quillora::runtime {
namespace {

TEST(ErrorReport, TextWithCodeAndMessage)
{
    EXPECT_EQ(buildErrorReportText(6, "调用DLL命令后发现堆栈错误"),
              "运行时出错!\r\n\r\n错误代码：6\r\n\r\n错误信息：调用DLL命令后发现堆栈错误\r\n");
}

TEST(ErrorReport, CodeZeroLeavesOutTheCodeLineAndEmptyMessageTheMessageLine)
{
    EXPECT_EQ(buildErrorReportText(0, "载入启动窗口失败"), "运行时出错!\r\n\r\n错误信息：载入启动窗口失败\r\n");
    EXPECT_EQ(buildErrorReportText(3, ""), "运行时出错!\r\n\r\n错误代码：3\r\n\r\n");
}

TEST(ErrorReport, EveryCodeHasItsMessage)
{
    EXPECT_EQ(runtimeErrorMessage(1), "数组成员引用下标超出定义范围");
    EXPECT_EQ(runtimeErrorMessage(10), "“重定义数组”命令的数组维定义参数值必须大于零或单维时大于等于零");
    EXPECT_EQ(runtimeErrorMessage(11), "所提供参数的数据类型不符合要求");
    EXPECT_EQ(runtimeErrorMessage(0), "");
    EXPECT_EQ(runtimeErrorMessage(12), "");
}

void sayGoodbye()
{
    std::fputs("exit hook ran\n", stderr);
}

TEST(ErrorReportDeathTest, ReportShowsTheCodesMessageAndExitsWithMinusOne)
{
    EXPECT_EXIT(runtimeEntries().ReportRuntimeError(4), testing::ExitedWithCode(255),
                "错误\n运行时出错!\r\n\r\n错误代码：4\r\n\r\n错误信息：数组成员引用下标必须大于等于1");
}

TEST(ErrorReportDeathTest, ReportClearsTheExitHook)
{
    EXPECT_EXIT(
        {
            setExitHook(&sayGoodbye);
            reportRuntimeErrorCode(2);
        },
        testing::ExitedWithCode(255), "未得到所需要的数值型数据\r\n\n$");
}

int acceptEveryReport(std::int32_t count, std::int32_t code, const char* message)
{
    std::fprintf(stderr, "hook %d %d %s\n", count, code, message);
    return 1;
}

TEST(ErrorReportDeathTest, AHookThatTakesTheReportSkipsTheMessageBox)
{
    EXPECT_EXIT(
        {
            setErrorHook(&acceptEveryReport);
            reportRuntimeError(7, "测试");
        },
        testing::ExitedWithCode(255), "hook [0-9]+ 7 测试\n$");
}

TEST(ProgramExitDeathTest, ExitRunsTheHookOnceWithTheCode)
{
    EXPECT_EXIT(
        {
            runtimeEntries().CallRuntimeService(static_cast<std::int32_t>(RuntimeService::SetExitHook), &sayGoodbye);
            runtimeEntries().ExitProgram(3);
        },
        testing::ExitedWithCode(3), "^exit hook ran\n$");
}

TEST(WindowEntriesDeathTest, NothingLoadedReportsAsTheRuntimeSays)
{
    EXPECT_EXIT(runtimeEntries().ReadUnitProperty(0x52010001u, 0x16010001u, 0, -1), testing::ExitedWithCode(255),
                "未载入欲访问窗口组件所在的窗口");
    EXPECT_EXIT(runtimeEntries().LoadStartWindow(0x52010001u), testing::ExitedWithCode(255), "载入启动窗口失败");
}

TEST(EntryTable, CoreCommandsGetAZeroedResultAndTheirArguments)
{
    const CommandFunction addAll = [](RuntimeValue* result, std::int32_t count, RuntimeValue* args) {
        std::int32_t sum = static_cast<std::int32_t>(result->low + result->high + result->type);
        for (std::int32_t i = 0; i < count; ++i)
            sum += asInt(args[i]);
        *result = makeInt(sum);
    };
    RuntimeValue args[] = {makeInt(2), makeInt(40)};
    EXPECT_EQ(asInt(runtimeEntries().CallCoreCommand(addAll, 2, args)), 42);
    EXPECT_EQ(asInt(runtimeEntries().CallLibraryCommand(7, addAll, 1, args)), 2);
    runtimeEntries().RunMessageLoop();
}

}  // namespace
}  // namespace quillora::runtime
