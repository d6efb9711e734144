#include "listing_generator.h"

#include <array>
#include <cmath>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

namespace kelbo::bench {

namespace {

constexpr int kChannels = 80;

using Random = std::mt19937;

int pick(Random& random, int count) { return std::uniform_int_distribution<int>(0, count - 1)(random); }
bool chance(Random& random, int percent) { return pick(random, 100) < percent; }

// Words of two to four syllables: thousands of different ones, of the
// lengths of English words, with a few letters outside ASCII as listings
// of names and places have.
class Words {
public:
    explicit Words(Random& random) {
        static const std::array<const char*, 40> syllables = {
            "an", "ber", "cal", "dor", "en", "fel", "gar", "hol", "in", "jor", "ka", "lin", "mar", "nes",
            "or", "pel", "quin", "ros", "sal", "ter", "ul", "ven", "wil", "yor", "zan", "bri", "cha", "dre",
            "fi", "gle", "ham", "ley", "mo", "nor", "pa", "ri", "st\xc3\xa9", "th", "wy", "m\xc3\xbc"};
        for (int i = 0; i < 6000; ++i) {
            std::string word;
            for (int s = 2 + pick(random, 3); s > 0; --s) word += syllables[static_cast<size_t>(pick(random, 40))];
            words_.push_back(word);
        }
    }
    // Common words come up far more often than rare ones, as in prose.
    const std::string& any(Random& random) const {
        const int rank = static_cast<int>(std::pow(static_cast<double>(pick(random, 1000)) / 1000.0, 3) * 6000);
        return words_[static_cast<size_t>(rank)];
    }
    std::string capitalised(Random& random) const {
        std::string word = any(random);
        word[0] = static_cast<char>(word[0] - 'a' + 'A');
        return word;
    }

private:
    std::vector<std::string> words_;
};

std::string sentence(Random& random, const Words& words) {
    static const std::array<const char*, 12> small = {"the", "a", "of", "and", "in", "to",
                                                      "with", "his", "her", "their", "at", "for"};
    std::string text = words.capitalised(random);
    for (int n = 6 + pick(random, 10); n > 0; --n) {
        text += ' ';
        if (chance(random, 35)) text += small[static_cast<size_t>(pick(random, 12))];
        else if (chance(random, 8)) text += words.capitalised(random);
        else text += words.any(random);
        if (chance(random, 4)) text += ",";
    }
    if (chance(random, 5)) text += " &amp; more";
    if (chance(random, 5)) text += " \xe2\x80\x93 &quot;" + words.capitalised(random) + "&quot;";
    return text + ". ";
}

std::string description(Random& random, const Words& words) {
    std::string text;
    const size_t length = 220 + static_cast<size_t>(pick(random, 180));
    while (text.size() < length) text += sentence(random, words);
    text.pop_back();
    return text;
}

std::string person(Random& random, const Words& words) {
    return words.capitalised(random) + ' ' + words.capitalised(random);
}

std::string xmltvTime(long long minutes, const char* zone) {
    // Days of 2027 from 1 January; months of 28 days are enough for a reader.
    const long long day = minutes / 1440, minute = minutes % 1440;
    char text[40];
    std::snprintf(text, sizeof text, "2027%02lld%02lld%02lld%02lld00 %s", 1 + day / 28 % 12, 1 + day % 28,
                  minute / 60, minute % 60, zone);
    return text;
}

struct Series {
    std::string title, description;
    std::vector<std::string> cast;
    std::string director;
    int category = 0;
    int seasons = 1;
};

constexpr std::array<const char*, 36> kCategories = {
    "Drama", "Crime", "Comedy", "Sitcom", "Documentary", "History", "Nature", "News", "Current affairs",
    "Sport", "Football", "Entertainment", "Quiz", "Game show", "Reality", "Cookery", "Travel", "Arts",
    "Music", "Film", "Thriller", "Romance", "Science fiction", "Horror", "Children", "Animation",
    "Education", "Science", "Religion", "Talk show", "Lifestyle", "Property", "Motoring", "Politics",
    "Soap", "Western"};

void programme(std::string& out, Random& random, const Words& words, const Series& series, int channel,
               long long start, int minutes, bool news) {
    const char* zone = start / 1440 % 28 < 14 ? "+0000" : "+0100";
    out += "  <programme start=\"" + xmltvTime(start, zone) + "\" stop=\"" + xmltvTime(start + minutes, zone) +
           "\" channel=\"ch" + std::to_string(channel) + ".tv.example.org\">\n";
    out += "    <title lang=\"en\">" + series.title + "</title>\n";
    if (!news) {
        out += "    <sub-title lang=\"en\">";
        for (int n = 1 + pick(random, 4); n > 0; --n) out += words.capitalised(random) + (n > 1 ? " " : "");
        out += "</sub-title>\n";
    }
    // A repeat now and then carries the series' own description word for word.
    out += "    <desc lang=\"en\">" + (chance(random, 12) ? series.description : description(random, words)) +
           "</desc>\n";
    if (!series.cast.empty()) {
        out += "    <credits>\n      <director>" + series.director + "</director>\n";
        for (size_t i = 0; i < series.cast.size(); ++i)
            out += "      <actor role=\"" + words.capitalised(random) + "\">" + series.cast[i] + "</actor>\n";
        if (chance(random, 40)) out += "      <actor>" + person(random, words) + "</actor>\n";
        if (chance(random, 30)) out += "      <writer>" + person(random, words) + "</writer>\n";
        if (chance(random, 20)) out += "      <producer>" + person(random, words) + "</producer>\n";
        out += "    </credits>\n";
    }
    if (chance(random, 20)) out += "    <date>" + std::to_string(1960 + pick(random, 66)) + "</date>\n";
    out += "    <category lang=\"en\">" + std::string(kCategories[static_cast<size_t>(series.category)]) + "</category>\n";
    for (int n = pick(random, 3); n > 0; --n)
        out += "    <category lang=\"en\">" + std::string(kCategories[static_cast<size_t>(pick(random, 36))]) +
               "</category>\n";
    if (!news) {
        const int season = pick(random, series.seasons), episode = pick(random, 24);
        out += "    <episode-num system=\"xmltv_ns\">" + std::to_string(season) + " . " + std::to_string(episode) +
               " . </episode-num>\n";
        if (chance(random, 60))
            out += "    <episode-num system=\"onscreen\">S" + std::to_string(season + 1) + " E" +
                   std::to_string(episode + 1) + "</episode-num>\n";
        out += "    <episode-num system=\"dd_progid\">EP" + std::to_string(100000 + pick(random, 900000)) +
               ".0000</episode-num>\n";
    }
    out += "    <video>\n      <aspect>16:9</aspect>\n      <quality>HDTV</quality>\n    </video>\n"
           "    <audio>\n      <stereo>stereo</stereo>\n    </audio>\n";
    if (chance(random, 35)) out += "    <previously-shown />\n";
    if (chance(random, 50)) out += "    <subtitles type=\"teletext\" />\n";
    if (chance(random, 30))
        out += "    <rating system=\"VCHIP\">\n      <value>TV-14</value>\n    </rating>\n";
    if (chance(random, 40))
        out += "    <icon src=\"https://images.tv.example.org/p/" + std::to_string(pick(random, 1 << 30)) +
               ".jpg\" width=\"360\" height=\"240\" />\n";
    out += "  </programme>\n";
}

}  // namespace

int writeRealisticListing(const std::filesystem::path& file, int programmes) {
    Random random(2027);
    const Words words(random);
    std::FILE* out = std::fopen(file.c_str(), "wb");
    if (!out) return 0;
    std::string text =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<!DOCTYPE tv SYSTEM \"xmltv.dtd\">\n\n"
        "<tv source-info-name=\"Example listings\" generator-info-name=\"XMLTV/1.2.1, tv_grab_example\">\n";
    for (int c = 0; c < kChannels; ++c)
        text += "  <channel id=\"ch" + std::to_string(c) + ".tv.example.org\">\n    <display-name lang=\"en\">" +
                words.capitalised(random) + " " + std::to_string(c % 4 + 1) + "</display-name>\n"
                "    <display-name>" + std::to_string(101 + c) + "</display-name>\n"
                "    <icon src=\"https://images.tv.example.org/c/" + std::to_string(c) + ".png\" />\n  </channel>\n";
    const int perChannel = programmes / kChannels;
    for (int c = 0; c < kChannels; ++c) {
        // Each channel's own series and films.
        std::vector<Series> shows(120);
        for (Series& s : shows) {
            s.title = chance(random, 30) ? "The " + words.capitalised(random) : words.capitalised(random);
            for (int n = pick(random, 3); n > 0; --n) s.title += ' ' + words.capitalised(random);
            s.description = description(random, words);
            s.category = pick(random, 36);
            s.seasons = 1 + pick(random, 12);
            if (!chance(random, 25)) {
                s.director = person(random, words);
                for (int n = 2 + pick(random, 5); n > 0; --n) s.cast.push_back(person(random, words));
            }
        }
        const Series news{"News", "The latest national and international news.", {}, {}, 7, 1};
        static const std::array<int, 9> lengths = {5, 10, 15, 25, 30, 45, 60, 90, 120};
        long long start = 6 * 60;
        std::fwrite(text.data(), 1, text.size(), out);
        text.clear();
        for (int i = 0; i < perChannel; ++i) {
            const bool isNews = start % 1440 == 18 * 60 || chance(random, 4);
            const int minutes = isNews ? 30 : lengths[static_cast<size_t>(pick(random, 9))];
            programme(text, random, words, isNews ? news : shows[static_cast<size_t>(pick(random, 120))], c, start,
                      minutes, isNews);
            start += minutes;
            if (text.size() > (1 << 20)) {
                std::fwrite(text.data(), 1, text.size(), out);
                text.clear();
            }
        }
    }
    text += "</tv>\n";
    std::fwrite(text.data(), 1, text.size(), out);
    return std::fclose(out) == 0 ? perChannel * kChannels : 0;
}

}  // namespace kelbo::bench
