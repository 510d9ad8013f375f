// Checks parsed forms before anything is written: names unique and usable as C++ names, kinds
// known, parents that exist and can hold units, tab pages that exist, events the kind has,
// handlers named, properties the kind takes. Resolves type codes, state and option bits and
// event numbers for the emitter.
#pragma once

#include <string_view>
#include <vector>

#include "tools/form_compiler/form_source.h"

namespace quillora::form_compiler {

// Reports every problem found as a diagnostic; the forms are fit to emit when none was added.
void validateForms(std::vector<WindowSource>& windows, Diagnostics& diagnostics);

// True when `name` can stand as an identifier in the generated C++ header: ASCII letters,
// digits and underscores and CJK ideographs, not starting with a digit, not a keyword.
bool isUsableIdentifier(std::string_view name);

}  // namespace quillora::form_compiler
