// The Windows calling shapes of the declared DLL commands. The stand-in DLLs export functions
// with exactly these signatures, and the application calls them through the entry table's DLL
// command entry with the same types.
#pragma once

#include <cstddef>
#include <cstdint>

namespace quillora::win {

using BOOL = std::int32_t;
using UINT = std::uint32_t;
using DWORD = std::uint32_t;
using ULONG = std::uint32_t;
using HRESULT = std::int32_t;
using SIZE_T = std::size_t;
using ULONG_PTR = std::uintptr_t;
using WCHAR = char16_t;
using HGLOBAL = void*;

inline constexpr HRESULT S_OK = 0;
inline constexpr HRESULT S_FALSE = 1;
inline constexpr HRESULT E_NOTIMPL = static_cast<HRESULT>(0x80004001u);
inline constexpr HRESULT E_NOINTERFACE = static_cast<HRESULT>(0x80004002u);
inline constexpr HRESULT E_POINTER = static_cast<HRESULT>(0x80004003u);
inline constexpr HRESULT E_FAIL = static_cast<HRESULT>(0x80004005u);
inline constexpr HRESULT E_OUTOFMEMORY = static_cast<HRESULT>(0x8007000Eu);
inline constexpr HRESULT E_INVALIDARG = static_cast<HRESULT>(0x80070057u);
inline constexpr HRESULT STG_E_INVALIDFUNCTION = static_cast<HRESULT>(0x80030001u);
inline constexpr HRESULT STG_E_INVALIDPOINTER = static_cast<HRESULT>(0x80030009u);
inline constexpr HRESULT CO_E_CLASSSTRING = static_cast<HRESULT>(0x800401F3u);
inline constexpr HRESULT STG_E_MEDIUMFULL = static_cast<HRESULT>(0x80030070u);

// GlobalAlloc flags.
inline constexpr UINT GMEM_FIXED = 0x0000;
inline constexpr UINT GMEM_MOVEABLE = 0x0002;
inline constexpr UINT GMEM_ZEROINIT = 0x0040;

// Drive types of GetDriveTypeA.
inline constexpr UINT DRIVE_UNKNOWN = 0;
inline constexpr UINT DRIVE_NO_ROOT_DIR = 1;
inline constexpr UINT DRIVE_REMOVABLE = 2;
inline constexpr UINT DRIVE_FIXED = 3;
inline constexpr UINT DRIVE_REMOTE = 4;
inline constexpr UINT DRIVE_CDROM = 5;
inline constexpr UINT DRIVE_RAMDISK = 6;

// Code pages of MultiByteToWideChar.
inline constexpr UINT CP_ACP = 0;
inline constexpr UINT CP_GBK = 936;
inline constexpr UINT CP_UTF8 = 65001;

struct GUID {
    std::uint32_t Data1;
    std::uint16_t Data2;
    std::uint16_t Data3;
    std::uint8_t Data4[8];

    friend constexpr bool operator==(const GUID&, const GUID&) = default;
};
static_assert(sizeof(GUID) == 16);
using CLSID = GUID;
using IID = GUID;

// The interfaces a stream answers QueryInterface for.
inline constexpr IID IID_IUnknown = {0x00000000, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
inline constexpr IID IID_ISequentialStream = {0x0C733A30, 0x2A1C, 0x11CE, {0xAD, 0xE5, 0x00, 0xAA, 0x00, 0x44, 0x77, 0x3A}};
inline constexpr IID IID_IStream = {0x0000000C, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

union LARGE_INTEGER {
    std::int64_t QuadPart;
};
union ULARGE_INTEGER {
    std::uint64_t QuadPart;
};

inline constexpr DWORD STREAM_SEEK_SET = 0;
inline constexpr DWORD STREAM_SEEK_CUR = 1;
inline constexpr DWORD STREAM_SEEK_END = 2;

struct FILETIME {
    DWORD dwLowDateTime;
    DWORD dwHighDateTime;
};

struct STATSTG {
    WCHAR* pwcsName;
    DWORD type;
    ULARGE_INTEGER cbSize;
    FILETIME mtime;
    FILETIME ctime;
    FILETIME atime;
    DWORD grfMode;
    DWORD grfLocksSupported;
    CLSID clsid;
    DWORD grfStateBits;
    DWORD reserved;
};

inline constexpr DWORD STGTY_STREAM = 2;
inline constexpr DWORD STATFLAG_DEFAULT = 0;
inline constexpr DWORD STATFLAG_NONAME = 1;

// The COM stream interface, in vtable order. Only the members a stream on a memory block needs
// do real work in the stand-in; the rest answer E_NOTIMPL.
struct IStream {
    virtual HRESULT QueryInterface(const IID& iid, void** object) = 0;
    virtual ULONG AddRef() = 0;
    virtual ULONG Release() = 0;
    virtual HRESULT Read(void* buffer, ULONG bytes, ULONG* bytesRead) = 0;
    virtual HRESULT Write(const void* buffer, ULONG bytes, ULONG* bytesWritten) = 0;
    virtual HRESULT Seek(LARGE_INTEGER move, DWORD origin, ULARGE_INTEGER* newPosition) = 0;
    virtual HRESULT SetSize(ULARGE_INTEGER newSize) = 0;
    virtual HRESULT CopyTo(IStream* target, ULARGE_INTEGER bytes, ULARGE_INTEGER* bytesRead,
                           ULARGE_INTEGER* bytesWritten) = 0;
    virtual HRESULT Commit(DWORD flags) = 0;
    virtual HRESULT Revert() = 0;
    virtual HRESULT LockRegion(ULARGE_INTEGER offset, ULARGE_INTEGER bytes, DWORD lockType) = 0;
    virtual HRESULT UnlockRegion(ULARGE_INTEGER offset, ULARGE_INTEGER bytes, DWORD lockType) = 0;
    virtual HRESULT Stat(STATSTG* statistics, DWORD flags) = 0;
    virtual HRESULT Clone(IStream** clone) = 0;

protected:
    ~IStream() = default;
};

// The image-encoding service's start-up record.
struct GdiplusStartupInput {
    std::uint32_t GdiplusVersion = 1;
    void* DebugEventCallback = nullptr;
    BOOL SuppressBackgroundThread = 0;
    BOOL SuppressExternalCodecs = 0;
};

}  // namespace quillora::win

namespace quillora::win {

// Status codes of the image-encoding service. Data or an encoder class identifier the service
// does not know is UnknownImageFormat; a stream that refuses the encoded bytes is Win32Error.
enum GpStatus : std::int32_t {
    Ok = 0,
    GenericError = 1,
    InvalidParameter = 2,
    OutOfMemory = 3,
    NotImplemented = 6,
    Win32Error = 7,
    UnknownImageFormat = 13,
    UnsupportedGdiplusVersion = 17,
};

using GpImage = void;

// The exported functions, as the application declares them.
using CLSIDFromStringFn = HRESULT (*)(const WCHAR* text, CLSID* clsid);
using GlobalAllocFn = HGLOBAL (*)(UINT flags, SIZE_T bytes);
using CreateStreamOnHGlobalFn = HRESULT (*)(HGLOBAL block, BOOL deleteOnRelease, IStream** stream);
using GlobalLockFn = void* (*)(HGLOBAL block);
using GlobalUnlockFn = BOOL (*)(HGLOBAL block);
using lstrcpynFn = char* (*)(char* target, const char* source, std::int32_t maxLength);
using GdipCreateBitmapFromStreamFn = GpStatus (*)(IStream* stream, GpImage** bitmap);
using GdipSaveImageToStreamFn = GpStatus (*)(GpImage* image, IStream* stream, const CLSID* encoder,
                                             const void* encoderParameters);
using GetHGlobalFromStreamFn = HRESULT (*)(IStream* stream, HGLOBAL* block);
using GlobalSizeFn = SIZE_T (*)(HGLOBAL block);
using RtlMoveMemoryFn = void (*)(void* target, const void* source, SIZE_T bytes);
using GdipDisposeImageFn = GpStatus (*)(GpImage* image);
using GlobalFreeFn = HGLOBAL (*)(HGLOBAL block);
using MultiByteToWideCharFn = std::int32_t (*)(UINT codePage, DWORD flags, const char* text, std::int32_t textBytes,
                                               WCHAR* wide, std::int32_t wideChars);
using GetLogicalDriveStringsAFn = DWORD (*)(DWORD bufferLength, char* buffer);
using GetDriveTypeAFn = UINT (*)(const char* rootPath);
using GetVolumeInformationAFn = BOOL (*)(const char* rootPath, char* volumeName, DWORD volumeNameSize,
                                         DWORD* serialNumber, DWORD* maxComponentLength, DWORD* fileSystemFlags,
                                         char* fileSystemName, DWORD fileSystemNameSize);
using GdiplusStartupFn = GpStatus (*)(ULONG_PTR* token, const GdiplusStartupInput* input, void* output);

}  // namespace quillora::win
