#include "platform/fs/dynamic_library.h"

#include "platform/fs/drive_map.h"

#include <dirent.h>
#include <dlfcn.h>
#include <link.h>
#include <sys/stat.h>

#include <algorithm>
#include <optional>
#include <vector>

namespace quillora::platform {
namespace {

bool equalIgnoringAsciiCase(const std::string& left, const char* right)
{
    std::size_t i = 0;
    for (; i < left.size(); ++i) {
        const unsigned char a = static_cast<unsigned char>(left[i]);
        const unsigned char b = static_cast<unsigned char>(right[i]);
        if (b == 0)
            return false;
        // Only ASCII letters fold: bytes of a multi-byte UTF-8 character are compared as they are.
        const auto fold = [](unsigned char c) { return c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c; };
        if (fold(a) != fold(b))
            return false;
    }
    return right[i] == 0;
}

bool exists(const std::string& path)
{
    struct stat status;
    return ::stat(path.c_str(), &status) == 0;
}

std::string joined(const std::string& folder, const std::string& name)
{
    if (folder.empty())
        return name;
    if (folder.back() == '/')
        return folder + name;
    return folder + '/' + name;
}

// The entry of `folder` whose name equals `name` ignoring ASCII case. An exact match wins; among
// several names that differ only in case (possible on Linux, not on Windows) the first in byte
// order is taken, so the choice does not depend on the order the folder lists them in.
std::optional<std::string> findEntryIgnoringCase(const std::string& folder, const std::string& name)
{
    if (name == "." || name == "..")
        return name;
    if (exists(joined(folder, name)))
        return name;
    DIR* directory = ::opendir(folder.empty() ? "." : folder.c_str());
    if (!directory)
        return std::nullopt;
    std::vector<std::string> matches;
    while (const dirent* entry = ::readdir(directory)) {
        if (equalIgnoringAsciiCase(name, entry->d_name))
            matches.emplace_back(entry->d_name);
    }
    ::closedir(directory);
    if (matches.empty())
        return std::nullopt;
    return *std::min_element(matches.begin(), matches.end());
}

// The path of `relativePath` under `folder`, each component matched ignoring case.
std::optional<std::string> resolveIgnoringCase(std::string folder, const std::string& relativePath)
{
    std::size_t start = 0;
    std::optional<std::string> path;
    while (start <= relativePath.size()) {
        const std::size_t slash = std::min(relativePath.find('/', start), relativePath.size());
        const std::string component = relativePath.substr(start, slash - start);
        start = slash + 1;
        if (component.empty())
            continue;
        const std::optional<std::string> entry = findEntryIgnoringCase(folder, component);
        if (!entry)
            return std::nullopt;
        folder = joined(folder, *entry);
        path = folder;
    }
    return path;
}

std::string withSlashes(std::string name)
{
    std::replace(name.begin(), name.end(), '\\', '/');
    return name;
}

bool hasDriveLetter(const std::string& name)
{
    return name.size() >= 2 && name[1] == ':' &&
           ((name[0] >= 'A' && name[0] <= 'Z') || (name[0] >= 'a' && name[0] <= 'z'));
}

}  // namespace

DynamicLibrary::~DynamicLibrary()
{
    close();
}

DynamicLibrary::DynamicLibrary(DynamicLibrary&& other) noexcept : handle_(other.handle_)
{
    other.handle_ = nullptr;
}

DynamicLibrary& DynamicLibrary::operator=(DynamicLibrary&& other) noexcept
{
    if (this != &other) {
        close();
        handle_ = other.handle_;
        other.handle_ = nullptr;
    }
    return *this;
}

DynamicLibrary DynamicLibrary::openFile(const std::string& path)
{
    // The path always holds a slash (it starts with its folder), so dlopen takes the file itself
    // instead of searching for the name.
    return DynamicLibrary(::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL));
}

DynamicLibrary DynamicLibrary::openInFolder(const std::string& folder, const std::string& fileName)
{
    if (folder.empty() || fileName.empty())
        return {};
    const std::optional<std::string> path = resolveIgnoringCase(folder, withSlashes(fileName));
    if (!path)
        return {};
    return openFile(*path);
}

DynamicLibrary DynamicLibrary::openByName(const std::string& name)
{
    if (name.empty())
        return {};
    if (hasDriveLetter(name)) {
        const std::optional<std::string> linuxPath = toLinuxPath(name);
        if (!linuxPath)
            return {};
        return (*linuxPath)[0] == '/' ? openInFolder("/", linuxPath->substr(1)) : openInFolder(".", *linuxPath);
    }
    const std::string path = withSlashes(name);
    if (path[0] == '/')
        return openInFolder("/", path.substr(1));
    if (path.find('/') != std::string::npos)
        return openInFolder(".", path);
    return DynamicLibrary(::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL));
}

void* DynamicLibrary::symbol(const std::string& name) const
{
    if (!handle_ || name.empty())
        return nullptr;
    void* address = ::dlsym(handle_, name.c_str());
    if (!address)
        return nullptr;
    // dlsym also searches the libraries this one depends on, but a Windows module only offers
    // its own exports: "malloc" is not an export of kernel32.dll just because the C library is
    // loaded beside it. The symbol counts only when it lies in this library itself.
    link_map* library = nullptr;
    link_map* owner = nullptr;
    Dl_info info;
    if (::dlinfo(handle_, RTLD_DI_LINKMAP, &library) != 0 ||
        ::dladdr1(address, &info, reinterpret_cast<void**>(&owner), RTLD_DL_LINKMAP) == 0 || owner != library)
        return nullptr;
    return address;
}

void* DynamicLibrary::ordinal(std::uint16_t ordinal) const
{
    if (!handle_ || ordinal == 0)
        return nullptr;
    const auto* names = static_cast<const char* const*>(symbol(kOrdinalTableSymbol));
    if (!names)
        return nullptr;
    for (std::uint16_t number = 1; names[number - 1]; ++number) {
        if (number == ordinal)
            return symbol(names[number - 1]);
        if (number == UINT16_MAX)
            break;
    }
    return nullptr;
}

void DynamicLibrary::close()
{
    if (handle_)
        ::dlclose(handle_);
    handle_ = nullptr;
}

}  // namespace quillora::platform
