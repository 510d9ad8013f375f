// quillora-form-compiler: compiles the window forms at build time.
//
//   quillora-form-compiler --data OUT.cpp --ids OUT.h --handlers OUT.inc FORM...
//
// Problems are printed as "file:line: message", one per line, and the tool exits with 1 without
// writing anything.
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>
#include <vector>

#include "tools/form_compiler/form_compiler.h"

namespace {

using quillora::form_compiler::FormFile;

// Form files are small; anything larger than this is not a form.
constexpr std::streamsize kMaxFormBytes = 4 * 1024 * 1024;

bool readFile(const std::string& path, std::string& text)
{
    std::ifstream in(path, std::ios::binary | std::ios::ate);
    if (!in || in.tellg() > kMaxFormBytes)
        return false;
    in.seekg(0);
    text.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !in.bad();
}

bool writeFile(const std::string& path, const std::string& text)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
    out.close();
    return static_cast<bool>(out);
}

int usage()
{
    std::cerr << "usage: quillora-form-compiler --data OUT.cpp --ids OUT.h --handlers OUT.inc FORM...\n";
    return 2;
}

}  // namespace

int main(int argc, char** argv)
{
    std::string dataPath;
    std::string idsPath;
    std::string handlersPath;
    std::vector<FormFile> forms;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        std::string* option = argument == "--data"       ? &dataPath
                              : argument == "--ids"      ? &idsPath
                              : argument == "--handlers" ? &handlersPath
                                                         : nullptr;
        if (option) {
            if (++i == argc)
                return usage();
            *option = argv[i];
            continue;
        }
        FormFile form{argument, {}};
        if (!readFile(argument, form.text)) {
            std::cerr << argument << ":1: cannot read the form file (missing, unreadable or over 4 MiB)\n";
            return 1;
        }
        forms.push_back(std::move(form));
    }
    if (dataPath.empty() || idsPath.empty() || handlersPath.empty() || forms.empty())
        return usage();

    const auto compiled = quillora::form_compiler::compileForms(forms);
    for (const auto& diagnostic : compiled.diagnostics)
        std::cerr << diagnostic.text() << '\n';
    if (!compiled.ok())
        return 1;
    if (!writeFile(dataPath, compiled.templateDataSource) || !writeFile(idsPath, compiled.formIdsHeader) ||
        !writeFile(handlersPath, compiled.handlerNamesInclude)) {
        std::cerr << "quillora-form-compiler: cannot write the generated files\n";
        return 1;
    }
    return 0;
}
