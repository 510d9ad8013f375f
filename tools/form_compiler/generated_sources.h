// The C++ files the build takes from the forms: the header of window and unit ids, the list of
// handler names for the application's handler table, and the template data as a byte array.
#pragma once

#include <string>
#include <vector>

#include "tools/form_compiler/form_source.h"
#include "tools/form_compiler/template_emitter.h"

namespace quillora::form_compiler {

// form_ids.h: per window a namespace quillora::forms::<window> with `id`, `ownRecord`, one
// constant per unit and menu item, and their type codes in a nested `kind` namespace; the unit
// type codes in quillora::forms::unit_type; the declaration of the template data array.
std::string formIdsHeader(const std::vector<WindowSource>& windows, const EmittedForms& emitted,
                          const std::vector<std::string>& sourceNames);

// handler_names.inc: one QUILLORA_HANDLER(name) line per entry of the handler table, in order.
std::string handlerNamesInclude(const EmittedForms& emitted);

// The definition of quillora::forms::templateData and templateDataBytes.
std::string templateDataSource(const EmittedForms& emitted, const std::vector<std::string>& sourceNames);

}  // namespace quillora::form_compiler
