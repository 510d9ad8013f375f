// The program descriptor: the one fixed record through which the runtime learns about the
// application it runs — where its event handlers are, which data is literal, the form template
// data and the support libraries. The declared DLL commands are not part of it: they are listed
// once, in quillora/dll_commands.h, which both the application and the runtime read.
#pragma once

#include <cstddef>
#include <cstdint>

#include "quillora/events.h"

namespace quillora {

// The support libraries, numbered from 1 in the descriptor's order. A unit's type code carries
// its library's number in the high 16 bits.
enum class SupportLibrary : std::uint32_t {
    Core = 1,
    Grid = 2,
    InterfaceExtension1 = 3,
    InterfaceExtension2 = 4,
    SystemInterface = 5,
    ApplicationInterface = 6,
    Bitmap = 7,
};

inline constexpr std::uint32_t kSupportLibraryCount = 7;

struct ProgramDescriptor {
    // The code base: the application's handler table. A handler offset in the form template
    // data counts bytes from here, so offset k × sizeof(EventHandler) binds entry k.
    const EventHandler* codeBase;
    std::uint32_t handlerCount;

    // The application's constant data (the static range of literal texts and byte sets). Null
    // means the program's read-only segments, which the runtime finds itself.
    const void* constantData;
    std::size_t constantDataBytes;

    // The binary form template data.
    const std::uint8_t* templateData;
    std::size_t templateDataBytes;

    // Names of the support libraries, in library-number order.
    std::uint32_t supportLibraryCount;
    const char* const* supportLibraryNames;
};

}  // namespace quillora

// Defined once by the application. The runtime refers to it weakly (`#pragma weak`), so a test
// program may define its own descriptor or none at all. A weak reference does not pull an object
// file out of a static library, so the definition belongs in an object linked directly into the
// program.
extern "C" const quillora::ProgramDescriptor quilloraProgramDescriptor;
