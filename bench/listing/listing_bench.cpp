// Reading XMLTV listings like real ones (see listing_generator.h) beside
// libxml2's own streaming reader, `xmllint --stream --noout`, on the same
// file. Each side runs as a process of its own, one after the other in
// alternating order, in several rounds; CPU time and peak memory come from
// the process's own accounting (wait4), so both are measured the same way.
// Printed: medians with min-max, and the ratio of the two, for
//   - the guide reading the listing (what `xmltv --list` and the window do
//     before showing it),
//   - the same plus the window's table model,
//   - `rules apply` with one rule ("News", some 4 % of the programmes).
//
//   build/bench/listing_bench [PROGRAMMES...]   (default 100000 400000)
//   LISTING_BENCH_ROUNDS=N                       (default 3)
#include "listing_generator.h"
#include "listing_model.h"
#include "series_apply.h"
#include "xmltv_reader.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <string>
#include <sys/resource.h>
#include <sys/time.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

using namespace kelbo::guide;

namespace {

// In a process of its own: read the listing one way; the exit status says
// whether every programme expected was kept.
int readMode(const std::string& mode, const std::string& file, long expected) {
    if (mode == "read" || mode == "window") {
        XmltvListing listing = XmltvReader().readFile(QString::fromStdString(file));
        if (!listing.error.isEmpty() || static_cast<long>(listing.programmes.size()) != expected) return 1;
        if (mode == "read") return 0;
        ListingModel model(std::move(listing));
        return model.rowCount() == expected ? 0 : 1;
    }
    if (mode == "apply") {
        const std::vector<SeriesRule> rules = {{"News", "", 0, false}};
        const XmltvListing listing = XmltvReader(limitsForRules(rules)).readFile(QString::fromStdString(file));
        if (!listing.error.isEmpty()) return 1;
        long handed = 0;
        const auto applied = applyRules(listing, rules, "/nonexistent/schedule.txt", kelbo::Instant{},
                                        [&handed](size_t, const GuideProgramme&) { return ++handed > 0; });
        return applied.recorded > 0 && applied.refused == 0 ? 0 : 1;
    }
    return 2;
}

struct Run {
    double cpu = 0, wall = 0, megabytes = 0;
};

Run measure(const std::vector<std::string>& command) {
    timeval began{};
    ::gettimeofday(&began, nullptr);
    const pid_t child = ::fork();
    if (child == 0) {
        std::vector<char*> argv;
        for (const std::string& word : command) argv.push_back(const_cast<char*>(word.c_str()));
        argv.push_back(nullptr);
        const int null = ::open("/dev/null", O_WRONLY);
        ::dup2(null, STDOUT_FILENO);
        ::execvp(argv[0], argv.data());
        ::_exit(127);
    }
    int status = 0;
    rusage usage{};
    ::wait4(child, &status, 0, &usage);
    timeval ended{};
    ::gettimeofday(&ended, nullptr);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        std::fprintf(stderr, "listing_bench: %s %s failed\n", command[0].c_str(), command[1].c_str());
        std::exit(1);
    }
    const auto seconds = [](const timeval& t) { return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6; };
    return {seconds(usage.ru_utime) + seconds(usage.ru_stime), seconds(ended) - seconds(began),
            static_cast<double>(usage.ru_maxrss) / 1024.0};
}

std::string stats(std::vector<double> values, const char* format) {
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    const double median = n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
    char text[96], part[32];
    std::snprintf(text, sizeof text, format, median);
    std::string line = text;
    std::snprintf(part, sizeof part, format, values.front());
    line += std::string(" (") + part + "-";
    std::snprintf(part, sizeof part, format, values.back());
    return line + part + ")";
}

void row(const char* what, const std::string& value) { std::printf("  %-50s %s\n", what, value.c_str()); }

}  // namespace

int main(int argc, char** argv) {
    if (argc == 5 && std::strcmp(argv[1], "--child") == 0) return readMode(argv[2], argv[3], std::atol(argv[4]));
    std::vector<int> sizes;
    for (int i = 1; i < argc; ++i) sizes.push_back(std::atoi(argv[i]));
    if (sizes.empty()) sizes = {100000, 400000};
    const char* roundsText = std::getenv("LISTING_BENCH_ROUNDS");
    const int rounds = std::max(1, roundsText ? std::atoi(roundsText) : 3);
    const std::string self = std::filesystem::read_symlink("/proc/self/exe").string();
    const auto file = std::filesystem::temp_directory_path() / ("listing_bench_" + std::to_string(::getpid()) + ".xml");
    for (const int size : sizes) {
        const int programmes = kelbo::bench::writeRealisticListing(file, size);
        const std::string count = std::to_string(programmes);
        std::printf("%d programmes, %.0f MB file, %d rounds (median (min-max)):\n", programmes,
                    static_cast<double>(std::filesystem::file_size(file)) / 1e6, rounds);
        std::fflush(stdout);
        std::vector<double> xmllint, read, window, apply, ratio, windowRatio, applyRatio;
        std::vector<double> readWall, xmllintWall, readMemory, windowMemory, applyMemory, xmllintMemory;
        for (int round = 0; round < rounds; ++round) {
            const auto lint = [&] { return measure({"xmllint", "--stream", "--noout", file.string()}); };
            const auto ours = [&](const char* mode) { return measure({self, "--child", mode, file.string(), count}); };
            Run x, r;
            if (round % 2) {
                r = ours("read");
                x = lint();
            } else {
                x = lint();
                r = ours("read");
            }
            const Run w = ours("window"), a = ours("apply");
            xmllint.push_back(x.cpu), read.push_back(r.cpu), window.push_back(w.cpu), apply.push_back(a.cpu);
            ratio.push_back(r.cpu / x.cpu), windowRatio.push_back(w.cpu / x.cpu), applyRatio.push_back(a.cpu / x.cpu);
            readWall.push_back(r.wall), xmllintWall.push_back(x.wall);
            readMemory.push_back(r.megabytes), windowMemory.push_back(w.megabytes);
            applyMemory.push_back(a.megabytes), xmllintMemory.push_back(x.megabytes);
        }
        row("xmllint --stream --noout, CPU s", stats(xmllint, "%.2f"));
        row("guide reading it, CPU s", stats(read, "%.2f"));
        row("guide reading it / xmllint", stats(ratio, "%.2f") + "   goal <= 1.50");
        row("guide reading it and the window's model, CPU s", stats(window, "%.2f"));
        row("  / xmllint", stats(windowRatio, "%.2f"));
        row("rules apply (one rule), CPU s", stats(apply, "%.2f"));
        row("  / xmllint", stats(applyRatio, "%.2f"));
        row("real time: xmllint, s", stats(xmllintWall, "%.2f"));
        row("real time: guide reading it, s", stats(readWall, "%.2f"));
        const double per100k = 100000.0 / programmes;
        row("peak memory: xmllint, MB", stats(xmllintMemory, "%.1f"));
        row("peak memory: guide reading it, MB", stats(readMemory, "%.1f"));
        row("  per 100000 programmes, MB",
            stats([&] { auto v = readMemory; for (double& m : v) m *= per100k; return v; }(), "%.1f"));
        row("peak memory: with the window's model, MB", stats(windowMemory, "%.1f"));
        row("peak memory: rules apply, MB", stats(applyMemory, "%.1f"));
        std::fflush(stdout);
    }
    std::filesystem::remove(file);
    return 0;
}
