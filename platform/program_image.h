// Facts about the running program's own image on disk and in memory.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace quillora::platform {

struct AddressRange {
    const void* begin;
    std::size_t bytes;
};

// The read-only data segments of the main program: where its literal texts and byte sets lie.
std::vector<AddressRange> programConstantData();

// The full Linux path of the running program, and the folder that holds it.
std::string programPath();
std::string programDirectory();

// The program's command-line arguments after its own name.
std::vector<std::string> programArguments();

}  // namespace quillora::platform
