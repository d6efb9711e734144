#include "iptv_playlist.h"

#include <array>
#include <sstream>

namespace kelbo::testing {

namespace {

constexpr int kFiller = 300;

std::string fillerEntry(int i) {
    static const std::array<const char*, 8> kNames = {"Canal Noticias", "Телеканал", "قناة", "Music Box",
                                                      "Kids Zone",      "Sport Plus", "Cine Clásico",
                                                      "Ελληνικό Κανάλι"};
    static const std::array<const char*, 6> kDecorations = {" (1080p)", " (720p) [Not 24/7]", " [Geo-blocked]",
                                                            " HD",      " (576p)",            ""};
    static const std::array<const char*, 4> kGroups = {"News", "Entertainment;Movies", "Kids", "Undefined"};
    const std::string n = std::to_string(i);
    const std::string name = std::string(kNames[static_cast<size_t>(i) % kNames.size()]) + " " + n;
    std::ostringstream out;
    out << "#EXTINF:-1 tvg-id=\"" << (i % 9 == 0 ? "" : "Filler" + n + ".xx") << "\"";
    if (i % 25 == 0) out << " tvg-chno=\"700\"";
    else if (i % 37 == 0) out << " tvg-chno=\"BS191\"";
    else if (i % 41 == 0) out << " tvg-chno=\"#\"";
    else if (i % 43 == 0) out << " tvg-chno=\"-\"";
    else if (i % 10 == 0) out << " tvg-chno=\"" << 300 + i << "\"";
    if (i % 7 == 0) out << " tvg-name=\"" << name << "\"";
    if (i % 19 == 0) out << " http-referrer=\"https://portal" << n << ".example/\"";
    out << " tvg-logo=\"https://i.imgur.example/" << n << ".png\" group-title=\""
        << kGroups[static_cast<size_t>(i) % kGroups.size()] << "\","
        << name << kDecorations[static_cast<size_t>(i) % kDecorations.size()] << "\n";
    if (i % 11 == 0) out << "#EXTVLCOPT:http-user-agent=Mozilla/5.0 (Windows NT 10.0; Win64; x64)\n";
    if (i % 17 == 0)
        out << "#KODIPROP:inputstream=inputstream.adaptive\n"
               "#KODIPROP:inputstream.adaptive.manifest_type=hls\n";
    if (i % 2 == 0) out << "https://cdn" << i % 5 << ".example.net/live/" << n << "/index.m3u8";
    else out << "http://198.51.100." << i % 250 << ":8080/play/" << n << ".ts";
    if (i % 13 == 0) out << "|User-Agent=Mozilla%2F5.0%20(Linux%3B%20Android%2010)&Referer=https%3A%2F%2Fplay.example%2F";
    out << "\n";
    return out.str();
}

}  // namespace

std::string iptvPlaylist(const std::vector<std::string>& head, const std::vector<std::string>& spread) {
    std::string text = "#EXTM3U x-tvg-url=\"https://epg.example/guide.xml.gz\"\n";
    for (const std::string& entry : head) text += entry;
    const int every = spread.empty() ? kFiller + 1 : kFiller / static_cast<int>(spread.size() + 1);
    size_t placed = 0;
    for (int i = 1; i <= kFiller; ++i) {
        text += fillerEntry(i);
        if (i % every == 0 && placed < spread.size()) text += spread[placed++];
    }
    for (; placed < spread.size(); ++placed) text += spread[placed];
    return text;
}

int lineOf(const std::string& text, const std::string& needle) {
    std::istringstream lines(text);
    std::string line;
    for (int number = 1; std::getline(lines, line); ++number)
        if (line.find(needle) != std::string::npos) return number;
    return 0;
}

}  // namespace kelbo::testing
