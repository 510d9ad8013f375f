// The record through which the runtime learns about this program: its handlers, its form data
// and its support libraries. It must be linked into the program itself (the runtime finds it
// by a weak reference), so it is part of the executable's own sources.
#include "common/handlers.h"
#include "form_ids.h"
#include "quillora/program_descriptor.h"

namespace {

const char* const kSupportLibraries[] = {
    "core", "grid", "interface extension 1", "interface extension 2", "system interface", "application interface",
    "bitmap",
};

}  // namespace

extern "C" const quillora::ProgramDescriptor quilloraProgramDescriptor = {
    quillora::app::applicationHandlers,
    static_cast<std::uint32_t>(quillora::forms::kHandlerCount),
    nullptr,
    0,
    quillora::forms::templateData,
    quillora::forms::templateDataBytes,
    7,
    kSupportLibraries,
};
