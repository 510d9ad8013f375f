#include "platform/dlls/gdiplus/stream_block.h"

#include <dlfcn.h>

#include <string>

namespace quillora::dlls {
namespace {

// The stand-in DLLs are built into one folder, so ole32.dll lies beside this one.
std::string ole32Beside()
{
    Dl_info info{};
    if (::dladdr(reinterpret_cast<const void*>(&blockUnderStream), &info) == 0 || !info.dli_fname)
        return {};
    const std::string self = info.dli_fname;
    const std::size_t slash = self.rfind('/');
    return slash == std::string::npos ? std::string{} : self.substr(0, slash + 1) + "ole32.dll";
}

}  // namespace

win::HGLOBAL blockUnderStream(win::IStream* stream)
{
    static const std::string path = ole32Beside();
    if (path.empty())
        return nullptr;
    // Only an ole32.dll that is loaded already can have made the stream; RTLD_NOLOAD never
    // loads it, and the reference it takes is given back at once.
    void* ole32 = ::dlopen(path.c_str(), RTLD_LAZY | RTLD_LOCAL | RTLD_NOLOAD);
    if (!ole32)
        return nullptr;
    win::HGLOBAL block = nullptr;
    if (auto* blockOf = reinterpret_cast<win::GetHGlobalFromStreamFn>(::dlsym(ole32, "GetHGlobalFromStream"));
        !blockOf || blockOf(stream, &block) != win::S_OK)
        block = nullptr;
    ::dlclose(ole32);
    return block;
}

}  // namespace quillora::dlls
