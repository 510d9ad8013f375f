// Small typed helpers over the runtime entry table, so handlers read like the album logic
// instead of juggling RuntimeValue records.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>

#include "quillora/dll_commands.h"
#include "quillora/entry_table.h"
#include "quillora/runtime_services.h"
#include "quillora/runtime_value.h"

namespace quillora::app {

inline const RuntimeEntryTable& runtime()
{
    return runtimeEntries();
}

// Owns a text or byte-set block returned by the runtime and frees it when it goes.
class OwnedBlock {
public:
    OwnedBlock() = default;
    explicit OwnedBlock(void* block) : block_(block) {}
    ~OwnedBlock() { runtime().FreeBlock(block_); }
    OwnedBlock(OwnedBlock&& other) noexcept : block_(std::exchange(other.block_, nullptr)) {}
    OwnedBlock& operator=(OwnedBlock&& other) noexcept
    {
        if (this != &other) {
            runtime().FreeBlock(block_);
            block_ = std::exchange(other.block_, nullptr);
        }
        return *this;
    }
    OwnedBlock(const OwnedBlock&) = delete;
    OwnedBlock& operator=(const OwnedBlock&) = delete;

    void* get() const { return block_; }
    // The block read as text; a null block is the empty text.
    std::string_view text() const { return block_ ? std::string_view(static_cast<const char*>(block_)) : std::string_view(); }

private:
    void* block_ = nullptr;
};

// Calls a core command with the given argument records and returns its result record.
template <typename... Values>
RuntimeValue callCore(CommandFunction command, Values... values)
{
    RuntimeValue arguments[] = {values..., RuntimeValue{}};
    return runtime().CallCoreCommand(command, static_cast<std::int32_t>(sizeof...(Values)), arguments);
}

// Calls declared DLL command `command` with its native arguments; `Function` is its signature
// from quillora/win_abi.h.
template <typename Function, typename... Arguments>
auto callDll(DllCommand command, Arguments... arguments)
{
    auto function = reinterpret_cast<Function>(runtime().CallDllCommand(static_cast<std::int32_t>(command)));
    return function(arguments...);
}

// Ends the program through the runtime's orderly exit (the clean-up routine runs first).
[[noreturn]] inline void endProgram(std::int32_t exitCode)
{
    runtime().ExitProgram(exitCode);
    // The entry table cannot carry [[noreturn]] through its function pointer.
    __builtin_unreachable();
}

inline void callService(RuntimeService service)
{
    runtime().CallRuntimeService(static_cast<std::int32_t>(service));
}

}  // namespace quillora::app
