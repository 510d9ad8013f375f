#include "runtime/core/dll_commands.h"

#include "platform/fs/dynamic_library.h"
#include "platform/program_image.h"
#include "quillora/dll_commands.h"
#include "runtime/core/error_report.h"
#include "runtime/core/program_exit.h"

namespace quillora::runtime {

struct DllCommandTable::Entry {
    DllDeclaration declaration;
    void* address = nullptr;
    platform::DynamicLibrary module;
};

namespace {

// The folders a DLL is looked for in, in search order; an empty folder is not set.
struct SearchFolders {
    const std::string& first;
    const std::string& program;
    const std::string& second;
};

// Loads a DLL as the runtime's resolution order says: a name without ':' is tried in the first
// configured folder, the program's folder and the second configured folder, then by its plain
// name through the system search; a name with ':' (an absolute Windows path) by its plain name
// only. The first file that loads is the module, as LoadLibrary takes the first file it finds.
platform::DynamicLibrary loadDll(const std::string& name, const SearchFolders& folders, std::int64_t& lookups)
{
    if (name.find(':') == std::string::npos) {
        for (const std::string* folder : {&folders.first, &folders.program, &folders.second}) {
            if (folder->empty())
                continue;
            ++lookups;
            platform::DynamicLibrary module = platform::DynamicLibrary::openInFolder(*folder, name);
            if (module.isOpen())
                return module;
        }
    }
    ++lookups;
    return platform::DynamicLibrary::openByName(name);
}

// The export's address in `module`. A name starting with '#' is an ordinal: the decimal number
// after the sign, masked to 16 bits (accumulating modulo 2^16 gives the same low bits).
void* lookUpExport(const platform::DynamicLibrary& module, const std::string& exportName, std::int64_t& lookups)
{
    ++lookups;
    if (exportName.empty() || exportName[0] != '#')
        return module.symbol(exportName);
    std::uint16_t ordinal = 0;
    for (std::size_t i = 1; i < exportName.size() && exportName[i] >= '0' && exportName[i] <= '9'; ++i)
        ordinal = static_cast<std::uint16_t>(ordinal * 10u + static_cast<unsigned>(exportName[i] - '0'));
    return module.ordinal(ordinal);
}

}  // namespace

const std::vector<DllDeclaration>& declaredDllCommands()
{
#define QUILLORA_DLL_DECLARATION(exportName, dllName) DllDeclaration{dllName, #exportName},
    static const std::vector<DllDeclaration> declarations = {
        QUILLORA_DECLARED_DLL_COMMANDS(QUILLORA_DLL_DECLARATION)};
#undef QUILLORA_DLL_DECLARATION
    return declarations;
}

const std::vector<std::string>& defaultDllList()
{
    static const std::vector<std::string> list = {
        "Kernel32.dll", "Gdi32.dll", "User32.dll", "Advapi32.dll", "Mpr.dll", "Shell32.dll",
    };
    return list;
}

DllCommandTable::DllCommandTable(std::vector<DllDeclaration> declarations)
{
    entries_.reserve(declarations.size());
    for (DllDeclaration& declaration : declarations)
        entries_.push_back(Entry{std::move(declaration), nullptr, {}});
}

DllCommandTable::~DllCommandTable() = default;

void DllCommandTable::setLibraryDirectories(std::string first, std::string second)
{
    firstDirectory_ = std::move(first);
    secondDirectory_ = std::move(second);
}

void DllCommandTable::setProgramDirectory(std::string directory)
{
    programDirectory_ = std::move(directory);
}

void* DllCommandTable::resolve(std::int32_t index)
{
    if (index < 0 || static_cast<std::size_t>(index) >= entries_.size())
        reportRuntimeError(0, "DLL命令序号" + std::to_string(index) + "超出定义范围");
    Entry& entry = entries_[static_cast<std::size_t>(index)];
    if (entry.address)
        return entry.address;

    if (releaseAtExit_ && !exitStepAdded_) {
        addShutdownStep(ShutdownStage::ReleaseModules, [this] { releaseModules(); });
        exitStepAdded_ = true;
    }

    const SearchFolders folders{firstDirectory_, programDirectory_, secondDirectory_};
    const std::string& dllName = entry.declaration.dllName;
    const std::string& exportName = entry.declaration.exportName;
    // Without a DLL name every DLL of the default list is tried in order; the first module that
    // has the export is kept and every other one is released again (by going out of scope).
    const std::vector<std::string> candidates = dllName.empty() ? defaultDllList() : std::vector{dllName};
    for (const std::string& candidate : candidates) {
        platform::DynamicLibrary module = loadDll(candidate, folders, lookups_);
        if (!module.isOpen())
            continue;
        if (void* address = lookUpExport(module, exportName, lookups_)) {
            entry.module = std::move(module);
            entry.address = address;
            return address;
        }
    }

    if (dllName.empty())
        reportRuntimeError(0, "无法找到指定DLL库文件中的输出命令“" + exportName + "”");
    reportRuntimeError(0, "无法找到指定DLL库文件“" + dllName + "”中的输出命令“" + exportName + "”");
}

std::int64_t DllCommandTable::lookupCount() const
{
    return lookups_;
}

void DllCommandTable::releaseModules()
{
    for (Entry& entry : entries_) {
        entry.address = nullptr;
        entry.module.close();
    }
}

DllCommandTable& programDllCommands()
{
    // Start-up sets the program's folder again; taking it here as well means a command resolves
    // beside the executable even when it is called before start-up has run.
    static DllCommandTable table(declaredDllCommands());
    static const bool configured = [] {
        table.setProgramDirectory(platform::programDirectory());
        table.releaseAtExit_ = true;
        return true;
    }();
    (void)configured;
    return table;
}

}  // namespace quillora::runtime
