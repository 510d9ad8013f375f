// File commands. Paths are Windows paths ("C:\photos\a.jpg") reached through the drive map.
#include "quillora/core_commands.h"
#include "platform/fs/drive_map.h"
#include "platform/fs/file_io.h"
#include "platform/fs/file_reader.h"
#include "runtime/core/command_arguments.h"
#include "runtime/core/core_command_table.h"
#include "runtime/core/file_search.h"
#include "runtime/core/memory.h"

#include <limits>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quillora {
namespace {

using runtime::CommandArguments;

// Every attribute a search can ask for, so that files and folders alike match.
constexpr std::uint32_t kAnyEntry = 0x37;

// A byte set block holds its length in 32 bits beside its header, within the block cap.
constexpr std::uint64_t kMaxFileBytes = runtime::kMaxBlockBytes - sizeof(ByteSetHeader);

bool hasWildcard(std::string_view path)
{
    const std::size_t separator = path.find_last_of("\\/");
    const std::string_view lastPart = separator == std::string_view::npos ? path : path.substr(separator + 1);
    return lastPart.find_first_of("*?") != std::string_view::npos;
}

// The Windows path of the first entry that matches a wildcard path, as the find-file service
// lists it (folders first by name, "." and ".." included).
std::optional<std::string> firstMatch(const std::string& pattern)
{
    void* search = nullptr;
    char* name = runtime::findNextFile(pattern.c_str(), kAnyEntry, false, &search);
    runtime::closeFileSearch(search);
    if (!name)
        return std::nullopt;
    std::string path(pattern.substr(0, pattern.find_last_of("\\/") + 1));
    if (path.empty() && pattern.size() >= 2 && pattern[1] == ':')
        path = pattern.substr(0, 2);
    path += name;
    runtime::freeBlock(name);
    return path;
}

// What the path names: the entry itself, or for a wildcard path the first entry matching it.
std::optional<platform::FileStatus> statusOfPath(const std::string& path)
{
    if (path.empty())
        return std::nullopt;
    const std::optional<std::string> windowsPath = hasWildcard(path) ? firstMatch(path) : path;
    if (!windowsPath)
        return std::nullopt;
    const auto linuxPath = platform::toLinuxPath(*windowsPath);
    return linuxPath ? platform::fileStatus(*linuxPath) : std::nullopt;
}

}  // namespace

void FileExists(RuntimeValue* result, std::int32_t argCount, RuntimeValue* args)
{
    const CommandArguments arguments(argCount, args);
    *result = makeBool(statusOfPath(std::string(arguments.text(0))).has_value());
}

// A folder counts 0 bytes, as a Windows volume lists it. A file of 2 GiB or more gives the
// largest integer rather than the low 32 bits of its size, which could come out negative and
// look like "not found".
void FileSize(RuntimeValue* result, std::int32_t argCount, RuntimeValue* args)
{
    const CommandArguments arguments(argCount, args);
    const auto status = statusOfPath(std::string(arguments.text(0)));
    if (!status) {
        *result = makeInt(-1);
        return;
    }
    constexpr auto kLargest = static_cast<std::uint64_t>(std::numeric_limits<std::int32_t>::max());
    *result = makeInt(static_cast<std::int32_t>(status->size > kLargest ? kLargest : status->size));
}

void ReadFile(RuntimeValue* result, std::int32_t argCount, RuntimeValue* args)
{
    const CommandArguments arguments(argCount, args);
    const std::string_view path = arguments.text(0);
    const auto linuxPath = path.empty() ? std::nullopt : platform::toLinuxPath(path);
    const auto content = linuxPath ? platform::readWholeFile(*linuxPath, kMaxFileBytes) : std::nullopt;
    *result = content ? runtime::byteSetResult(*content) : makePointer(TypeCode::ByteSet, nullptr);
}

void WriteFile(RuntimeValue* result, std::int32_t argCount, RuntimeValue* args)
{
    const CommandArguments arguments(argCount, args);
    const std::string_view path = arguments.text(0);
    const auto linuxPath = path.empty() ? std::nullopt : platform::toLinuxPath(path);
    if (!linuxPath) {
        *result = makeBool(false);
        return;
    }
    std::vector<std::span<const std::uint8_t>> parts;
    for (std::int32_t i = 1; i < arguments.count(); ++i) {
        if (!arguments.bytes(i).empty())
            parts.push_back(arguments.bytes(i));
    }
    *result = makeBool(platform::writeWholeFile(*linuxPath, parts));
}

namespace runtime {

std::span<const CommandEntry> fileCommands()
{
    static constexpr CommandEntry kTable[] = {
        {"FileExists", FileExists},
        {"FileSize", FileSize},
        {"ReadFile", ReadFile},
        {"WriteFile", WriteFile},
    };
    return kTable;
}

}  // namespace runtime
}  // namespace quillora
