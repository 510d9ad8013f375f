#include "platform/program_image.h"

#include <elf.h>
#include <link.h>
#include <unistd.h>

#include <climits>
#include <cstdio>

namespace quillora::platform {
namespace {

struct SegmentSearch {
    std::vector<AddressRange> readOnly;
    std::vector<AddressRange> readExecute;
};

int collectMainProgramSegments(dl_phdr_info* info, std::size_t, void* data)
{
    // The first object reported is the main program; every later one is a shared library.
    auto* search = static_cast<SegmentSearch*>(data);
    for (int i = 0; i < info->dlpi_phnum; ++i) {
        const ElfW(Phdr)& header = info->dlpi_phdr[i];
        if (header.p_type != PT_LOAD || (header.p_flags & PF_W))
            continue;
        const AddressRange range{reinterpret_cast<const void*>(info->dlpi_addr + header.p_vaddr),
                                 static_cast<std::size_t>(header.p_memsz)};
        if (header.p_flags & PF_X)
            search->readExecute.push_back(range);
        else
            search->readOnly.push_back(range);
    }
    return 1;
}

}  // namespace

std::vector<AddressRange> programConstantData()
{
    SegmentSearch search;
    dl_iterate_phdr(collectMainProgramSegments, &search);
    // Linkers that do not separate code from data put the literals in the executable segment.
    return search.readOnly.empty() ? search.readExecute : search.readOnly;
}

std::string programPath()
{
    char buffer[PATH_MAX];
    const ssize_t length = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    if (length <= 0)
        return {};
    return std::string(buffer, static_cast<std::size_t>(length));
}

std::string programDirectory()
{
    const std::string path = programPath();
    const auto slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::vector<std::string> programArguments()
{
    // The entry routine takes no arguments, so they are read back from the process itself.
    std::vector<std::string> arguments;
    FILE* file = std::fopen("/proc/self/cmdline", "rb");
    if (!file)
        return arguments;
    std::string current;
    for (int c = std::fgetc(file); c != EOF; c = std::fgetc(file)) {
        if (c != '\0') {
            current.push_back(static_cast<char>(c));
            continue;
        }
        arguments.push_back(current);
        current.clear();
    }
    std::fclose(file);
    if (!arguments.empty())
        arguments.erase(arguments.begin());
    return arguments;
}

}  // namespace quillora::platform
