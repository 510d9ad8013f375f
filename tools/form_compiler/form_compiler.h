// The form compiler as a library: form texts in, template data and generated C++ out. The
// command-line tool and the tests both go through compileForms.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tools/form_compiler/form_source.h"

namespace quillora::form_compiler {

struct FormFile {
    std::string path;  // as diagnostics name it
    std::string text;
};

struct CompiledForms {
    std::vector<std::uint8_t> templateData;
    std::vector<std::string> handlers;  // handler table order
    std::string formIdsHeader;
    std::string handlerNamesInclude;
    std::string templateDataSource;
    Diagnostics diagnostics;  // empty when the forms compiled

    bool ok() const { return diagnostics.empty(); }
};

// Parses every file (windows in file order), validates the whole program, then emits. Nothing
// is emitted when a diagnostic was reported.
CompiledForms compileForms(const std::vector<FormFile>& files);

}  // namespace quillora::form_compiler
