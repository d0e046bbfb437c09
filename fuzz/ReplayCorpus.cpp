// A main for a fuzz target built without libFuzzer: it runs every given file, and every file of
// the given corpus directories, through LLVMFuzzerTestOneInput once, so that each input a fuzzer
// once found stays a test of every build, sanitizers included.  A failing input ends the run the
// way it ends a fuzzer (a check aborts, a sanitizer reports); the path of the input being run is
// printed first, so the reproducer is named.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

// A copy the exact size of the input, so that a read past its end is caught as it is under the
// fuzzer.
std::vector<std::uint8_t> ReadWhole(const std::filesystem::path& path) {
    std::vector<std::uint8_t> data(std::filesystem::file_size(path));
    std::ifstream file(path, std::ios::binary);
    file.read(reinterpret_cast<char*>(data.data()), static_cast<std::streamsize>(data.size()));
    if (!file) throw std::runtime_error("cannot read " + path.string());
    return data;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::filesystem::path> inputs;
    for (int i = 1; i < argc; ++i) {
        const std::filesystem::path path(argv[i]);
        if (std::filesystem::is_regular_file(path)) {
            inputs.push_back(path);  // one input, a reproducer say
            continue;
        }
        if (!std::filesystem::is_directory(path)) {
            std::fprintf(stderr, "neither an input nor a corpus directory: %s\n", argv[i]);
            return 2;
        }
        for (const auto& item : std::filesystem::directory_iterator(path)) {
            if (item.is_regular_file()) inputs.push_back(item.path());
        }
    }
    if (inputs.empty()) {
        std::fprintf(stderr, "no inputs: an empty corpus tests nothing\n");
        return 2;
    }
    std::sort(inputs.begin(), inputs.end());
    for (const auto& path : inputs) {
        std::fprintf(stderr, "running %s\n", path.c_str());
        const std::vector<std::uint8_t> data = ReadWhole(path);
        LLVMFuzzerTestOneInput(data.data(), data.size());
    }
    std::printf("%zu inputs run\n", inputs.size());
    return 0;
}
