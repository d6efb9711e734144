// Runs a fuzz target's function once on each input named on the command
// line, files or folders of them (a corpus), as libFuzzer does with saved
// inputs, so that the normal build keeps every target building and every
// saved input passing. An input that fails ends the run with its name.
#include <algorithm>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <unistd.h>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size);
extern "C" __attribute__((weak)) int LLVMFuzzerInitialize(int* argc, char*** argv);

namespace {

namespace fs = std::filesystem;

std::string current;  // the input under way, for the crash's message

void onCrash(int signal) {
    static const char what[] = "fuzz replay: this input failed: ";
    [[maybe_unused]] auto n = ::write(STDERR_FILENO, what, sizeof what - 1);
    n = ::write(STDERR_FILENO, current.data(), current.size());
    n = ::write(STDERR_FILENO, "\n", 1);
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

std::vector<fs::path> inputs(int argc, char** argv) {
    std::vector<fs::path> files;
    for (int i = 1; i < argc; ++i) {
        if (!fs::is_directory(argv[i])) {
            files.emplace_back(argv[i]);
            continue;
        }
        for (const fs::directory_entry& entry : fs::directory_iterator(argv[i]))
            if (entry.is_regular_file()) files.push_back(entry.path());
    }
    std::sort(files.begin(), files.end());
    return files;
}

}  // namespace

int main(int argc, char** argv) {
    if (LLVMFuzzerInitialize) LLVMFuzzerInitialize(&argc, &argv);
    const std::vector<fs::path> files = inputs(argc, argv);
    if (files.empty()) {
        std::fprintf(stderr, "fuzz replay: no inputs in the folders or files named\n");
        return 1;
    }
    for (const int signal : {SIGABRT, SIGSEGV, SIGBUS, SIGFPE, SIGILL}) std::signal(signal, onCrash);
    for (const fs::path& file : files) {
        current = file.string();
        std::ifstream in(file, std::ios::binary);
        if (!in) {
            std::fprintf(stderr, "fuzz replay: cannot read %s\n", current.c_str());
            return 1;
        }
        const std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
        // A buffer of exactly the input's size, as the fuzzer hands it over.
        const auto data = std::make_unique<std::uint8_t[]>(bytes.size());
        std::memcpy(data.get(), bytes.data(), bytes.size());
        LLVMFuzzerTestOneInput(data.get(), bytes.size());
    }
    std::printf("fuzz replay: %zu inputs passed\n", files.size());
    return 0;
}
