// How a stand-in DLL marks its exports. The DLL targets hide every other symbol, so only the
// Windows names (and the ordinal table) can be found with dlsym.
#pragma once

#include "platform/fs/dynamic_library.h"
#include "quillora/win_abi.h"

#include <string_view>

#define QUILLORA_DLL_EXPORT extern "C" __attribute__((visibility("default")))

static_assert(std::string_view(quillora::platform::kOrdinalTableSymbol) == "QuilloraExportOrdinals");

// Defines the DLL's ordinal table (see platform::kOrdinalTableSymbol): ordinal n is the n-th
// name given, counting from 1. The list must end with nullptr.
#define QUILLORA_DLL_ORDINALS(...) \
    QUILLORA_DLL_EXPORT const char* const QuilloraExportOrdinals[] = {__VA_ARGS__}
