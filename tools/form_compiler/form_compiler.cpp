#include "tools/form_compiler/form_compiler.h"

#include "tools/form_compiler/form_parser.h"
#include "tools/form_compiler/form_validator.h"
#include "tools/form_compiler/generated_sources.h"
#include "tools/form_compiler/template_emitter.h"

namespace quillora::form_compiler {

CompiledForms compileForms(const std::vector<FormFile>& files)
{
    CompiledForms result;
    std::vector<WindowSource> windows;
    std::vector<std::string> sourceNames;
    for (const FormFile& file : files) {
        std::vector<WindowSource> parsed = parseFormFile(file.text, file.path, result.diagnostics);
        if (parsed.empty())
            result.diagnostics.push_back({{file.path, 1}, "the file defines no window"});
        for (WindowSource& window : parsed)
            windows.push_back(std::move(window));
        const std::size_t slash = file.path.find_last_of('/');
        sourceNames.push_back(slash == std::string::npos ? file.path : file.path.substr(slash + 1));
    }
    if (!result.ok())
        return result;
    validateForms(windows, result.diagnostics);
    if (!result.ok())
        return result;

    const EmittedForms emitted = emitTemplateData(windows);
    result.templateData = emitted.templateData;
    result.handlers = emitted.handlers;
    result.formIdsHeader = formIdsHeader(windows, emitted, sourceNames);
    result.handlerNamesInclude = handlerNamesInclude(emitted);
    result.templateDataSource = templateDataSource(emitted, sourceNames);
    return result;
}

}  // namespace quillora::form_compiler
