// Writes validated forms as the binary form template data (layout in
// runtime/core/form_template_format.h), and decides the ids and the handler table on the way.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tools/form_compiler/form_source.h"

namespace quillora::form_compiler {

struct WindowIds {
    std::uint32_t windowId = 0;
    std::vector<std::uint32_t> entryIds;  // per entry of the window, in table order
};

struct EmittedForms {
    std::vector<std::uint8_t> templateData;
    // The handler table: every distinct handler name once, in the order first bound. Entry k is
    // bound by the offset k × sizeof(EventHandler).
    std::vector<std::string> handlers;
    std::vector<WindowIds> ids;  // per window, in directory order
};

// Window k (from 0) gets id 0x5201nnnn with serial k + 1; entry k of a window gets serial k with
// the id class of its role (window record, control, menu item).
EmittedForms emitTemplateData(const std::vector<WindowSource>& windows);

}  // namespace quillora::form_compiler
