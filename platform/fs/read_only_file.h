// A file opened for reading, closed whichever way reading ends; shared by the whole-file reader
// and the snapshot reader, which open files the same way.
#pragma once

#include <string>

#include <fcntl.h>
#include <unistd.h>

namespace quillora::platform {

class ReadOnlyFile {
public:
    // Non-blocking, so that opening a named pipe does not wait for a writer; the readers refuse
    // it afterwards like any other file that is not a regular one. An empty path opens nothing.
    explicit ReadOnlyFile(const std::string& linuxPath)
        : descriptor_(linuxPath.empty() ? -1 : ::open(linuxPath.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK))
    {
    }
    ReadOnlyFile(const ReadOnlyFile&) = delete;
    ReadOnlyFile& operator=(const ReadOnlyFile&) = delete;
    ~ReadOnlyFile()
    {
        if (descriptor_ >= 0)
            ::close(descriptor_);
    }
    // The descriptor, or -1 when the file could not be opened.
    int get() const { return descriptor_; }

private:
    int descriptor_;
};

}  // namespace quillora::platform
