// Generates XMLTV listings as grabbers write them (one channel after
// another, every programme with its own sub-title and description, credits
// and categories) and reads each in a child process of its own, so that the
// peak memory printed is that of reading one listing.
//
//   build/bench/listing_bench [PROGRAMMES...]   (default 100000 200000)
#include "listing_model.h"
#include "xmltv_reader.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace kelbo::guide;

namespace {

constexpr int kChannels = 80;

std::string xmltvTime(int minutesFrom2027) {
    const int day = minutesFrom2027 / 1440, minute = minutesFrom2027 % 1440;
    char text[32];
    // January has 31 days; later days run on into the months that follow,
    // which the reader does not need to be real: keep within January.
    std::snprintf(text, sizeof text, "202701%02d%02d%02d00 +0000", 1 + day % 28, minute / 60, minute % 60);
    return text;
}

void writeListing(const std::filesystem::path& file, int programmes) {
    std::ofstream out(file, std::ios::binary);
    out << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<tv generator-info-name=\"listing_bench\">\n";
    for (int c = 0; c < kChannels; ++c)
        out << "  <channel id=\"c" << c << ".example\"><display-name>" << 101 + c
            << "</display-name><display-name>Channel " << c << "</display-name></channel>\n";
    const int perChannel = programmes / kChannels;
    for (int c = 0; c < kChannels; ++c)
        for (int i = 0; i < perChannel; ++i) {
            const int start = (i * 20) % (28 * 1440 - 20);
            out << "  <programme start=\"" << xmltvTime(start) << "\" stop=\"" << xmltvTime(start + 20)
                << "\" channel=\"c" << c << ".example\">\n"
                << "    <title lang=\"en\">Programme " << i % 400 << "</title>\n"
                << "    <sub-title lang=\"en\">Episode " << c * perChannel + i << "</sub-title>\n"
                << "    <desc lang=\"en\">Programme " << c * perChannel + i
                << " of the listing, with a description of ordinary length that says what happens in it "
                   "and who is in it.</desc>\n"
                << "    <credits><director>Director " << i % 97 << "</director><actor>Actor " << i % 89
                << "</actor><actor>Actor " << i % 83 << "</actor></credits>\n"
                << "    <category lang=\"en\">Drama</category><category lang=\"en\">Crime</category>\n"
                << "    <episode-num system=\"xmltv_ns\">" << i % 5 << "." << i % 13 << ".</episode-num>\n"
                << "  </programme>\n";
        }
    out << "</tv>\n";
}

// In the child: read the listing, build the window's model over it.
int readAndReport(const std::filesystem::path& file, int programmes) {
    const auto began = std::chrono::steady_clock::now();
    XmltvListing listing = XmltvReader().readFile(QString::fromStdString(file.string()));
    if (!listing.error.isEmpty()) return 1;
    const size_t kept = listing.programmes.size(), channels = listing.channels.size();
    ListingModel model(std::move(listing));
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - began).count();
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const double megabytes = static_cast<double>(usage.ru_maxrss) / 1024.0;
    const double per100k = 100000.0 / programmes;
    std::printf("%7d programmes (%zu kept, %zu channels), %5.0f MB file: %6.2f s, peak %6.1f MB;"
                " per 100000: %5.2f s, %5.1f MB\n",
                programmes, kept, channels, static_cast<double>(std::filesystem::file_size(file)) / 1e6, seconds, megabytes,
                seconds * per100k, megabytes * per100k);
    std::fflush(stdout);  // the child ends with _exit
    return kept == size_t(programmes) && model.rowCount() == programmes ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<int> sizes;
    for (int i = 1; i < argc; ++i) sizes.push_back(std::atoi(argv[i]));
    if (sizes.empty()) sizes = {100000, 200000};
    const auto file = std::filesystem::temp_directory_path() / ("listing_bench_" + std::to_string(::getpid()) + ".xml");
    int failures = 0;
    for (const int size : sizes) {
        const int programmes = size / kChannels * kChannels;
        writeListing(file, programmes);
        const pid_t child = ::fork();
        if (child == 0) ::_exit(readAndReport(file, programmes));
        int status = 0;
        ::waitpid(child, &status, 0);
        if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) ++failures;
    }
    std::filesystem::remove(file);
    return failures ? 1 : 0;
}
