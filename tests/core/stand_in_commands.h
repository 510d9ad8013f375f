// The stand-in DLLs' exports as the program reaches them: through its own table of declared DLL
// commands, which finds kernel32.dll, ole32.dll and gdiplus.dll beside the test program.
#pragma once

#include "quillora/dll_commands.h"
#include "quillora/win_abi.h"
#include "runtime/core/dll_commands.h"

namespace quillora::test_support {

template <typename Function>
Function dllCommand(DllCommand command)
{
    return reinterpret_cast<Function>(runtime::programDllCommands().resolve(static_cast<std::int32_t>(command)));
}

}  // namespace quillora::test_support
