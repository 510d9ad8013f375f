// Declared DLL commands: the program's commands bound to the stand-ins, the resolution order and
// its failure reports, and the loading of library files under any letter case.
#include "platform/fs/drive_map.h"
#include "platform/fs/dynamic_library.h"
#include "platform/program_image.h"
#include "runtime/core/dll_commands.h"
#include "runtime/core/program_exit.h"
#include "quillora/dll_commands.h"

#include <gtest/gtest.h>

#include <optional>

namespace {

using quillora::platform::DynamicLibrary;
using quillora::runtime::DllCommandTable;
using quillora::runtime::DllDeclaration;

using Declarations = std::vector<DllDeclaration>;
using ProbeFunction = int (*)();

// The test program's folder holds the stand-in DLLs; its sub-folder dll_test_libs holds the
// probe libraries of extra.cmake: Kernel32.dll (1), User32.dll (2, also QuilloraProbeSecond)
// and MiXeDCase.DlL (3).
std::string programFolder()
{
    return quillora::platform::programDirectory();
}

std::string probeFolder()
{
    return programFolder() + "/dll_test_libs";
}

int callProbe(DllCommandTable& table, std::int32_t index)
{
    return reinterpret_cast<ProbeFunction>(table.resolve(index))();
}

TEST(DllCommandDeclarations, DefaultListInOrder)
{
    const std::vector<std::string> expected = {"Kernel32.dll", "Gdi32.dll",   "User32.dll",
                                               "Advapi32.dll", "Mpr.dll", "Shell32.dll"};
    EXPECT_EQ(quillora::runtime::defaultDllList(), expected);
}

TEST(DllCommandTable, EmptyDllNameBindsToTheFirstDefaultDllWithTheExport)
{
    // Both Kernel32.dll and User32.dll export QuilloraProbe; Kernel32.dll comes first.
    DllCommandTable table(Declarations{{"", "QuilloraProbe"}});
    table.setLibraryDirectories(probeFolder(), "");
    EXPECT_EQ(callProbe(table, 0), 1);
}

TEST(DllCommandTable, DefaultListPassesOverDllsWithoutTheExport)
{
    DllCommandTable table(Declarations{{"", "QuilloraProbeSecond"}});
    table.setLibraryDirectories(probeFolder(), "");
    EXPECT_EQ(callProbe(table, 0), 20);
}

TEST(DllCommandTable, SecondResolveDoesNoLookup)
{
    DllCommandTable table(Declarations{{"", "QuilloraProbe"}, {"user32.dll", "QuilloraProbe"}});
    table.setLibraryDirectories(probeFolder(), "");
    void* first = table.resolve(0);
    const std::int64_t lookups = table.lookupCount();
    EXPECT_GT(lookups, 0);
    EXPECT_EQ(table.resolve(0), first);
    EXPECT_EQ(table.lookupCount(), lookups);

    // Another command of the same table does its own lookup, once.
    EXPECT_EQ(callProbe(table, 1), 2);
    const std::int64_t afterSecond = table.lookupCount();
    EXPECT_GT(afterSecond, lookups);
    EXPECT_EQ(callProbe(table, 1), 2);
    EXPECT_EQ(table.lookupCount(), afterSecond);
}

TEST(DllCommandTable, ReleasedModulesResolveAgain)
{
    DllCommandTable table(Declarations{{"user32.dll", "QuilloraProbe"}});
    table.setLibraryDirectories(probeFolder(), "");
    EXPECT_EQ(callProbe(table, 0), 2);
    const std::int64_t lookups = table.lookupCount();
    table.releaseModules();
    EXPECT_EQ(callProbe(table, 0), 2);
    EXPECT_GT(table.lookupCount(), lookups);
}

TEST(DllCommandTable, DllNameMatchesTheFileNameIgnoringCase)
{
    DllCommandTable table(Declarations{{"mixedcase.dll", "QuilloraProbe"}, {"MIXEDCASE.DLL", "QuilloraProbe"}});
    table.setLibraryDirectories(probeFolder(), "");
    EXPECT_EQ(callProbe(table, 0), 3);
    EXPECT_EQ(callProbe(table, 1), 3);
}

TEST(DllCommandTable, FirstFolderComesBeforeTheProgramFolder)
{
    DllCommandTable table(Declarations{{"kernel32.dll", "QuilloraProbe"}});
    table.setLibraryDirectories(probeFolder(), "");
    table.setProgramDirectory(programFolder());
    EXPECT_EQ(callProbe(table, 0), 1);
}

TEST(DllCommandTable, ProgramFolderComesBeforeTheSecondFolder)
{
    // The stand-in kernel32.dll beside the program is loaded, not the probe in the second folder.
    DllCommandTable table(Declarations{{"kernel32.dll", "GlobalAlloc"}});
    table.setLibraryDirectories("", probeFolder());
    table.setProgramDirectory(programFolder());
    EXPECT_NE(table.resolve(0), nullptr);
}

TEST(DllCommandTable, SecondFolderIsSearched)
{
    DllCommandTable table(Declarations{{"user32.dll", "QuilloraProbe"}});
    table.setLibraryDirectories("", probeFolder());
    table.setProgramDirectory(programFolder());
    EXPECT_EQ(callProbe(table, 0), 2);
}

TEST(DllCommandTable, PlainNameGoesThroughTheSystemSearch)
{
    DllCommandTable table(Declarations{{"libc.so.6", "strlen"}});
    auto* length = reinterpret_cast<std::size_t (*)(const char*)>(table.resolve(0));
    EXPECT_EQ(length("four"), 4u);
}

TEST(DllCommandTable, AbsoluteWindowsPathIsLoadedByItself)
{
    const std::optional<std::string> windowsFolder = quillora::platform::toWindowsPath(probeFolder());
    ASSERT_TRUE(windowsFolder);
    DllCommandTable table(Declarations{{*windowsFolder + "\\USER32.DLL", "QuilloraProbe"}});
    EXPECT_EQ(callProbe(table, 0), 2);
}

TEST(DllCommandTable, OrdinalIsTheStandInsOwnExportNumber)
{
    // Ordinal numbers are masked to 16 bits: #65537 is ordinal 1, kernel32's GlobalAlloc.
    DllCommandTable table(Declarations{{"kernel32.dll", "#1"}, {"kernel32.dll", "GlobalAlloc"}, {"kernel32.dll", "#65537"}});
    table.setProgramDirectory(programFolder());
    void* byName = table.resolve(1);
    ASSERT_NE(byName, nullptr);
    EXPECT_EQ(table.resolve(0), byName);
    EXPECT_EQ(table.resolve(2), byName);
}

TEST(DllCommandTableDeathTest, MissingExportWithoutDllNameReportsTheExportName)
{
    EXPECT_EXIT(
        {
            DllCommandTable table(Declarations{{"", "NoSuchExport"}});
            table.setLibraryDirectories(probeFolder(), "");
            table.resolve(0);
        },
        testing::ExitedWithCode(255), "错误信息：无法找到指定DLL库文件中的输出命令“NoSuchExport”");
}

TEST(DllCommandTableDeathTest, MissingExportOfANamedDllReportsBothNames)
{
    EXPECT_EXIT(
        {
            DllCommandTable table(Declarations{{"ole32.dll", "NoSuchExport"}});
            table.setProgramDirectory(programFolder());
            table.resolve(0);
        },
        testing::ExitedWithCode(255), "无法找到指定DLL库文件“ole32.dll”中的输出命令“NoSuchExport”");
}

TEST(DllCommandTableDeathTest, MissingDllReportsBothNames)
{
    EXPECT_EXIT(
        {
            DllCommandTable table(Declarations{{"NoSuch.dll", "GlobalAlloc"}});
            table.setProgramDirectory(programFolder());
            table.resolve(0);
        },
        testing::ExitedWithCode(255), "无法找到指定DLL库文件“NoSuch.dll”中的输出命令“GlobalAlloc”");
}

TEST(DllCommandTableDeathTest, OrdinalOutsideTheExportsIsReported)
{
    EXPECT_EXIT(
        {
            DllCommandTable table(Declarations{{"kernel32.dll", "#0"}, {"kernel32.dll", "#999"}});
            table.setProgramDirectory(programFolder());
            table.resolve(1);
        },
        testing::ExitedWithCode(255), "无法找到指定DLL库文件“kernel32.dll”中的输出命令“#999”");
}

TEST(DllCommandTableDeathTest, UnknownIndexIsReported)
{
    EXPECT_EXIT(
        {
            DllCommandTable table(Declarations{{"", "QuilloraProbe"}});
            table.resolve(1);
        },
        testing::ExitedWithCode(255), "运行时出错!");
}

std::string upperCase(std::string text)
{
    for (char& c : text)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return text;
}

// The program's own table, as the application reaches it: every declared command is bound to
// the export of its own name in the library its declaration names (the first library of the
// default list when it names none), whatever the letter case of the name and of the file.
TEST(DllCommandTable, ProgramTableBindsEveryDeclaredCommandToItsLibrarysExport)
{
    const auto& declared = quillora::runtime::declaredDllCommands();
    ASSERT_EQ(declared.size(), static_cast<std::size_t>(quillora::kDllCommandCount));
    auto& table = quillora::runtime::programDllCommands();
    for (std::int32_t index = 0; index < quillora::kDllCommandCount; ++index) {
        const DllDeclaration& declaration = declared[static_cast<std::size_t>(index)];
        const std::string library =
            declaration.dllName.empty() ? quillora::runtime::defaultDllList().front() : declaration.dllName;
        DynamicLibrary module = DynamicLibrary::openInFolder(programFolder(), upperCase(library));
        ASSERT_TRUE(module.isOpen()) << library;
        void* expected = module.symbol(declaration.exportName);
        ASSERT_NE(expected, nullptr) << library << " " << declaration.exportName;
        EXPECT_EQ(table.resolve(index), expected) << "command " << index << ": " << declaration.exportName;
    }
}

// The names the application calls by reach the stand-in libraries they belong to, including a
// command declared with a capitalised library name and one declared with none.
TEST(DllCommandTable, ApplicationCommandNamesReachTheirStandIns)
{
    using quillora::DllCommand;
    const auto exportOf = [](const char* library, const char* exportName) {
        return DynamicLibrary::openInFolder(programFolder(), library).symbol(exportName);
    };
    const auto resolved = [](DllCommand command) {
        return quillora::runtime::programDllCommands().resolve(static_cast<std::int32_t>(command));
    };
    EXPECT_EQ(resolved(DllCommand::GlobalAlloc), exportOf("kernel32.dll", "GlobalAlloc"));
    EXPECT_EQ(resolved(DllCommand::GetDriveTypeA), exportOf("kernel32.dll", "GetDriveTypeA"));
    EXPECT_EQ(resolved(DllCommand::CreateStreamOnHGlobal), exportOf("ole32.dll", "CreateStreamOnHGlobal"));
    EXPECT_EQ(resolved(DllCommand::GdipSaveImageToStream), exportOf("gdiplus.dll", "GdipSaveImageToStream"));
    EXPECT_NE(resolved(DllCommand::GdipSaveImageToStream), nullptr);
}

TEST(DllCommandTableDeathTest, ProgramTableReleasesItsModulesAtExit)
{
    EXPECT_EXIT(
        {
            quillora::runtime::programDllCommands().resolve(static_cast<std::int32_t>(quillora::DllCommand::GlobalAlloc));
            quillora::runtime::exitProgram(7);
        },
        testing::ExitedWithCode(7), "");
}

TEST(DllDynamicLibrary, OpensAFileUnderAnyLetterCase)
{
    EXPECT_TRUE(DynamicLibrary::openInFolder(probeFolder(), "mixedcase.dll").isOpen());
    EXPECT_TRUE(DynamicLibrary::openInFolder(probeFolder(), "MiXeDCase.DlL").isOpen());
    EXPECT_TRUE(DynamicLibrary::openInFolder(programFolder(), "KERNEL32.DLL").isOpen());
}

TEST(DllDynamicLibrary, NameWithSubFoldersIsMatchedPartByPart)
{
    EXPECT_TRUE(DynamicLibrary::openInFolder(programFolder(), "DLL_TEST_LIBS\\user32.dll").isOpen());
    EXPECT_TRUE(DynamicLibrary::openInFolder(programFolder(), "dll_test_libs/User32.DLL").isOpen());
}

TEST(DllDynamicLibrary, MissingFilesDoNotOpen)
{
    EXPECT_FALSE(DynamicLibrary::openInFolder(probeFolder(), "gdi32.dll").isOpen());
    EXPECT_FALSE(DynamicLibrary::openInFolder(probeFolder() + "/no-such-folder", "user32.dll").isOpen());
    EXPECT_FALSE(DynamicLibrary::openInFolder("", "user32.dll").isOpen());
    EXPECT_FALSE(DynamicLibrary::openByName("Gdi32.dll").isOpen());
    EXPECT_FALSE(DynamicLibrary::openByName("").isOpen());
}

TEST(DllDynamicLibrary, OnlyTheLibrarysOwnSymbolsAreExports)
{
    // kernel32.dll depends on the C library, but malloc is not one of its exports.
    DynamicLibrary kernel32 = DynamicLibrary::openInFolder(programFolder(), "kernel32.dll");
    ASSERT_TRUE(kernel32.isOpen());
    EXPECT_NE(kernel32.symbol("GlobalAlloc"), nullptr);
    EXPECT_EQ(kernel32.symbol("malloc"), nullptr);
    EXPECT_EQ(kernel32.symbol(""), nullptr);
}

TEST(DllDynamicLibrary, OrdinalsOutsideTheTableFindNothing)
{
    DynamicLibrary kernel32 = DynamicLibrary::openInFolder(programFolder(), "kernel32.dll");
    ASSERT_TRUE(kernel32.isOpen());
    EXPECT_EQ(kernel32.ordinal(1), kernel32.symbol("GlobalAlloc"));
    EXPECT_EQ(kernel32.ordinal(0), nullptr);
    EXPECT_EQ(kernel32.ordinal(999), nullptr);
    // The probe libraries have no ordinal table at all.
    DynamicLibrary probe = DynamicLibrary::openInFolder(probeFolder(), "user32.dll");
    ASSERT_TRUE(probe.isOpen());
    EXPECT_EQ(probe.ordinal(1), nullptr);
}

TEST(DllDynamicLibrary, MovedLibraryStaysOpenOnce)
{
    DynamicLibrary first = DynamicLibrary::openInFolder(probeFolder(), "user32.dll");
    DynamicLibrary second = std::move(first);
    EXPECT_FALSE(first.isOpen());
    ASSERT_TRUE(second.isOpen());
    EXPECT_NE(second.symbol("QuilloraProbe"), nullptr);
    second.close();
    EXPECT_FALSE(second.isOpen());
    EXPECT_EQ(second.symbol("QuilloraProbe"), nullptr);
}

}  // namespace
