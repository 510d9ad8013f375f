// Shared libraries loaded at run time: the stand-in for LoadLibrary, GetProcAddress and
// FreeLibrary that declared DLL commands are bound with.
#pragma once

#include <cstdint>
#include <string>

namespace quillora::platform {

// A library may number its exports as a Windows DLL does: it exports this symbol as a
// null-terminated array of export names, and ordinal n (from 1) is the n-th name. A library
// without the table has no ordinals.
inline constexpr const char* kOrdinalTableSymbol = "QuilloraExportOrdinals";

// One loaded library. Closing it (or destroying it) releases this reference; the system unloads
// the file when its last reference goes.
class DynamicLibrary {
public:
    DynamicLibrary() = default;
    ~DynamicLibrary();
    DynamicLibrary(DynamicLibrary&& other) noexcept;
    DynamicLibrary& operator=(DynamicLibrary&& other) noexcept;
    DynamicLibrary(const DynamicLibrary&) = delete;
    DynamicLibrary& operator=(const DynamicLibrary&) = delete;

    // Opens the library `fileName` in `folder`. File names are matched without regard to ASCII
    // letter case, as a Windows volume matches them: "kernel32.dll" opens "Kernel32.dll". A
    // name with backslashes or slashes names a file in a sub-folder of `folder`.
    static DynamicLibrary openInFolder(const std::string& folder, const std::string& fileName);

    // Opens a library by its plain name through the system's own search (LD_LIBRARY_PATH, the
    // run paths, the loader cache). A Windows path with a drive letter ("D:\libs\x.dll") is
    // mapped to its Linux folder through the drive map first.
    static DynamicLibrary openByName(const std::string& name);

    bool isOpen() const { return handle_ != nullptr; }

    // The address of an exported symbol, or null.
    void* symbol(const std::string& name) const;
    // The address of export number `ordinal` (see kOrdinalTableSymbol), or null.
    void* ordinal(std::uint16_t ordinal) const;

    void close();

private:
    explicit DynamicLibrary(void* handle) : handle_(handle) {}
    static DynamicLibrary openFile(const std::string& path);

    void* handle_ = nullptr;
};

}  // namespace quillora::platform
