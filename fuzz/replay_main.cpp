// The entry point of a fuzz target built without libFuzzer: it feeds every file named on the
// command line (every file inside a named folder) to the target once, as libFuzzer does with
// the files it is given, so a corpus or a saved crash can be replayed under any compiler.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

bool replayFile(const std::filesystem::path& path)
{
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        std::fprintf(stderr, "cannot read %s\n", path.c_str());
        return false;
    }
    const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    int replayed = 0;
    bool allRead = true;
    for (int index = 1; index < argc; ++index) {
        const std::filesystem::path path = argv[index];
        std::error_code error;
        if (std::filesystem::is_directory(path, error)) {
            for (const auto& entry : std::filesystem::directory_iterator(path, error)) {
                if (entry.is_regular_file()) {
                    allRead = replayFile(entry.path()) && allRead;
                    ++replayed;
                }
            }
        } else {
            allRead = replayFile(path) && allRead;
            ++replayed;
        }
    }
    std::printf("replayed %d inputs\n", replayed);
    // A corpus that lost its files would otherwise pass without testing anything.
    if (replayed == 0)
        std::fprintf(stderr, "no inputs to replay\n");
    return allRead && replayed > 0 ? 0 : 1;
}
