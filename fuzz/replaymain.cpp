// Runs a fuzz target's entry point over every stored case, in a normal build without libFuzzer,
// so that every case found once stays checked. Arguments are case files or folders of them.

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "fuzzinput.h"

int main(int argc, char** argv) {
    std::vector<std::filesystem::path> cases;
    for (int i = 1; i < argc; ++i) {
        const std::filesystem::path path = argv[i];
        if (std::filesystem::is_directory(path)) {
            for (const auto& entry : std::filesystem::directory_iterator(path)) {
                if (entry.is_regular_file()) {
                    cases.push_back(entry.path());
                }
            }
        } else {
            cases.push_back(path);
        }
    }
    std::sort(cases.begin(), cases.end());
    // A replay of nothing would pass without checking anything.
    if (cases.empty()) {
        (void)std::fprintf(stderr, "no cases to replay\n");
        return 1;
    }
    for (const std::filesystem::path& path : cases) {
        std::ifstream file(path, std::ios::binary);
        const std::string bytes{std::istreambuf_iterator<char>(file),
                                std::istreambuf_iterator<char>()};
        if (!file.good() && !file.eof()) {
            (void)std::fprintf(stderr, "cannot read %s\n", path.c_str());
            return 1;
        }
        (void)std::fprintf(stderr, "%s\n", path.filename().c_str());
        LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
    }
    (void)std::printf("replayed %zu cases\n", cases.size());
    return 0;
}
