#include "platform/fs/user_folders.h"

#include "platform/fs/file_io.h"
#include "platform/fs/file_reader.h"

#include <cstdlib>
#include <vector>

#include <pwd.h>
#include <unistd.h>

namespace quillora::platform {
namespace {

// user-dirs.dirs is a handful of short lines; anything larger is not one.
constexpr std::uint64_t kMaxUserDirsBytes = 64 * 1024;

std::string_view trimmed(std::string_view text)
{
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r'))
        text.remove_suffix(1);
    return text;
}

// The value as the shell would read it: inside double quotes a backslash keeps the next
// character as it is; outside quotes the characters stand for themselves.
std::string unquoted(std::string_view value)
{
    std::string text;
    bool quoted = false;
    for (std::size_t i = 0; i < value.size(); ++i) {
        if (value[i] == '"') {
            quoted = !quoted;
        } else if (value[i] == '\\' && i + 1 < value.size()) {
            text += value[++i];
        } else {
            text += value[i];
        }
    }
    return text;
}

bool isFolder(const std::string& path)
{
    const auto status = fileStatus(path);
    return status && status->isFolder;
}

std::string passwordHome()
{
    long bufferSize = ::sysconf(_SC_GETPW_R_SIZE_MAX);
    if (bufferSize <= 0 || bufferSize > 1 << 20)
        bufferSize = 16384;
    std::vector<char> buffer(static_cast<std::size_t>(bufferSize));
    passwd entry{};
    passwd* found = nullptr;
    if (::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &found) != 0 || !found || !found->pw_dir)
        return {};
    return found->pw_dir;
}

std::string joined(const std::string& folder, std::string_view name)
{
    return folder.ends_with('/') ? folder + std::string(name) : folder + "/" + std::string(name);
}

}  // namespace

std::string homeFolder()
{
    if (const char* home = std::getenv("HOME"); home && home[0] == '/')
        return home;
    if (std::string home = passwordHome(); !home.empty() && home.front() == '/')
        return home;
    return "/";
}

std::optional<std::string> userDirsEntry(std::string_view content, std::string_view key, std::string_view home)
{
    std::optional<std::string> value;
    while (!content.empty()) {
        const std::size_t end = content.find('\n');
        std::string_view line = trimmed(content.substr(0, end));
        content.remove_prefix(end == std::string_view::npos ? content.size() : end + 1);
        if (line.empty() || line.front() == '#' || !line.starts_with(key) || line.substr(key.size(), 1) != "=")
            continue;
        const std::string path = unquoted(line.substr(key.size() + 1));
        if (path == "$HOME" || path.starts_with("$HOME/"))
            value = std::string(home) + path.substr(5);
        else if (path.starts_with('/'))
            value = path;
    }
    return value;
}

std::string userFolder(UserFolder folder)
{
    const std::string home = homeFolder();
    const bool desktop = folder == UserFolder::Desktop;

    const char* configHome = std::getenv("XDG_CONFIG_HOME");
    const std::string configFolder = configHome && configHome[0] == '/' ? configHome : joined(home, ".config");
    if (const auto content = readWholeFile(joined(configFolder, "user-dirs.dirs"), kMaxUserDirsBytes)) {
        const std::string_view text(reinterpret_cast<const char*>(content->data()), content->size());
        const auto entry = userDirsEntry(text, desktop ? "XDG_DESKTOP_DIR" : "XDG_DOCUMENTS_DIR", home);
        if (entry && isFolder(*entry))
            return *entry;
    }
    if (const std::string standard = joined(home, desktop ? "Desktop" : "Documents"); isFolder(standard))
        return standard;
    return home;
}

}  // namespace quillora::platform
