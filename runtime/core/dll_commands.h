// Declared DLL commands: resolution by DLL name and export name, cached per command.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace quillora::runtime {

struct DllDeclaration {
    std::string dllName;     // empty: search the default list
    std::string exportName;  // "#n" is ordinal n (masked to 16 bits)
};

// The DLL commands the program declares (quillora/dll_commands.h), in table order: entry i is
// the command DllCommand i.
const std::vector<DllDeclaration>& declaredDllCommands();

// The DLLs tried, in this order, for a command declared without a DLL name.
const std::vector<std::string>& defaultDllList();

class DllCommandTable {
public:
    explicit DllCommandTable(std::vector<DllDeclaration> declarations);
    ~DllCommandTable();
    DllCommandTable(const DllCommandTable&) = delete;
    DllCommandTable& operator=(const DllCommandTable&) = delete;

    // The folders searched before the program's own folder and after it; empty = not set.
    void setLibraryDirectories(std::string first, std::string second);
    void setProgramDirectory(std::string directory);

    // The address of command `index`, resolved and cached at its first use. An unknown index or
    // a command that cannot be resolved ends in the runtime error report.
    void* resolve(std::int32_t index);

    // How many times a module was loaded or an export looked up (for tests: a cached command
    // costs none).
    std::int64_t lookupCount() const;

    // Releases every module loaded for the commands; later calls resolve again.
    void releaseModules();

private:
    friend DllCommandTable& programDllCommands();

    struct Entry;
    std::vector<Entry> entries_;
    std::string firstDirectory_;
    std::string secondDirectory_;
    std::string programDirectory_;
    std::int64_t lookups_ = 0;
    // The program's own table releases its modules when the program exits; the step is added at
    // the first resolve, so a table that never binds anything adds nothing.
    bool releaseAtExit_ = false;
    bool exitStepAdded_ = false;
};

// The program's own table of its declared commands (entry 2 of the entry table).
DllCommandTable& programDllCommands();

}  // namespace quillora::runtime
