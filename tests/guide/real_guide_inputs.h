#pragma once

// Listings and channel playlists shaped like the ones users download from
// public sources: channels known only by name, a few with a logical
// channel number, the same start times on every channel, titles and
// descriptions in many scripts, sub-titles before descriptions, both kinds
// of episode number, times with seconds and offsets, zero-length
// programmes; playlists of hundreds of entries whose tvg-chno repeats, is
// missing or is no number, with decorated names and player options.

#include "common/date_time.h"

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

namespace kelbo::testing {

// "20240301183045 +0100": the wall clock `offsetMinutes` east of UTC.
inline std::string xmltvTimeAt(Instant instant, int offsetMinutes) {
    using namespace std::chrono;
    const auto wall = floor<seconds>(instant) + minutes(offsetMinutes);
    const auto day = floor<days>(wall);
    const year_month_day date{day};
    const hh_mm_ss time{wall - day};
    const int offset = offsetMinutes < 0 ? -offsetMinutes : offsetMinutes;
    char text[40];
    std::snprintf(text, sizeof text, "%04d%02u%02u%02ld%02ld%02ld %c%02d%02d", static_cast<int>(date.year()),
                  static_cast<unsigned>(date.month()), static_cast<unsigned>(date.day()),
                  static_cast<long>(time.hours().count()), static_cast<long>(time.minutes().count()),
                  static_cast<long>(time.seconds().count()), offsetMinutes < 0 ? '-' : '+', offset / 60, offset % 60);
    return text;
}

struct RealChannel {
    std::string id;
    std::string inner;  // what its <channel> element holds
    std::string news;   // the title of its news, in its own language
    std::string newsDescription;
    int offsetMinutes;  // the zone its grabber writes times in
};

inline const std::vector<RealChannel>& realChannels() {
    static const std::vector<RealChannel> channels = {
        {"BBCOne.uk", "<display-name lang=\"en\">BBC One</display-name>", "BBC News at Six",
         "The latest national and international news.", 0},
        {"RTEOne.ie", "<display-name lang=\"ga\">RT\u00c9 One</display-name>", "Nuacht RT\u00c9",
         "An nuacht is d\u00e9ana\u00ed.", 0},
        {"PervyKanal.ru", "<display-name lang=\"ru\">\u041f\u0435\u0440\u0432\u044b\u0439 \u043a\u0430\u043d\u0430\u043b</display-name><lcn>1</lcn>",
         "\u041d\u043e\u0432\u043e\u0441\u0442\u0438", "\u0413\u043b\u0430\u0432\u043d\u044b\u0435 \u0441\u043e\u0431\u044b\u0442\u0438\u044f \u0434\u043d\u044f.", 180},
        {"AlSharqiya.iq", "<display-name lang=\"ar\">\u0627\u0644\u0634\u0631\u0642\u064a\u0629</display-name>",
         "\u0627\u0644\u0623\u062e\u0628\u0627\u0631", "\u0646\u0634\u0631\u0629 \u0627\u0644\u0623\u062e\u0628\u0627\u0631 \u0627\u0644\u0631\u0626\u064a\u0633\u064a\u0629.", 180},
        {"NHKG.jp", "<display-name lang=\"ja\">NHK\u7dcf\u5408</display-name><display-name lang=\"en\">NHK General</display-name>"
                    "<lcn>1</lcn>",
         "\u30cb\u30e5\u30fc\u30b97", "\u4eca\u65e5\u306e\u30cb\u30e5\u30fc\u30b9\u3002", 540},
        {"France2.fr", "<display-name lang=\"fr\">France 2</display-name><display-name>2</display-name>",
         "Le 20 heures", "Le journal t\u00e9l\u00e9vis\u00e9 de la r\u00e9daction.", 60},
        {"Arte.fr", "<display-name lang=\"fr\">Arte</display-name><icon src=\"https://example.org/arte.png\"/>",
         "Arte Journal", "L'actualit\u00e9 europ\u00e9enne.", 60},
        {"Euronews.fr", "<display-name>Euronews</display-name>", "Euronews Soir", "Europe tonight.", 60},
        {"CCTV4.cn", "<display-name lang=\"zh\">CCTV-4 \u4e2d\u6587\u56fd\u9645</display-name>", "\u4e2d\u56fd\u65b0\u95fb",
         "\u4eca\u65e5\u8981\u95fb\u3002", 480},
        {"Channel7.au", "<display-name>Channel 7</display-name>", "Seven News", "News from around Australia.", 600},
        {"7mate.au", "<display-name>7mate</display-name>", "Seven News", "News from around Australia.", 600},
        {"TV3.ie", "<display-name>Virgin Media One</display-name>", "Virgin Media News", "The news at six.", 0},
    };
    return channels;
}

inline const std::string kPilotDescription =
    "Jordan's Queen Rania opens the doors of the palace for a year in the life of the royal household.";

// A long description in Cyrillic: two bytes a letter, so a cut anywhere
// may fall inside a letter.
inline std::string longRussianDescription() {
    std::string text;
    while (text.size() < 1400) text += "\u0414\u043b\u0438\u043d\u043d\u044b\u0439 \u0440\u0430\u0441\u0441\u043a\u0430\u0437 \u043e \u0436\u0438\u0437\u043d\u0438. ";
    return text;
}

// Every channel above from `from`, on the same start times: its news
// (30 min), a series episode with a sub-title (30 min), a programme with
// seconds in its times, a zero-length "Close" and a film. BBC One numbers
// its episode "2022.36.0" (season 2023, episode 37, part of an unknown
// count); the others "0.5.0/2" with an on-screen number on some.
inline std::string realGuide(Instant from) {
    using namespace std::chrono;
    std::string xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<!DOCTYPE tv SYSTEM \"xmltv.dtd\">\n"
                      "<tv date=\"20240301\" source-info-name=\"epg.example\" generator-info-name=\"WebGrab+Plus\">\n";
    for (const RealChannel& c : realChannels())
        xml += "  <channel id=\"" + c.id + "\">\n    " + c.inner + "\n    <url>https://epg.example/" + c.id +
               "</url>\n  </channel>\n";
    for (const RealChannel& c : realChannels()) {
        const auto time = [&](Instant at) { return xmltvTimeAt(at, c.offsetMinutes); };
        const auto programme = [&](Instant start, Instant stop, const std::string& inner) {
            xml += "  <programme start=\"" + time(start) + "\" stop=\"" + time(stop) + "\" channel=\"" + c.id +
                   "\">\n" + inner + "  </programme>\n";
        };
        programme(from, from + minutes(30),
                  "    <title>" + c.news + "</title>\n    <desc>" + c.newsDescription +
                      "</desc>\n    <category lang=\"en\">News</category>\n");
        const bool bbc = c.id == "BBCOne.uk";
        programme(from + minutes(30), from + minutes(60),
                  "    <title lang=\"en\">Inside the Palace</title>\n    <sub-title lang=\"en\">Pilot</sub-title>\n"
                  "    <desc lang=\"en\">" + kPilotDescription + "</desc>\n"
                  "    <credits>\n      <director>Ann Lee</director>\n      <actor role=\"Herself\">Rania Al Abdullah</actor>\n"
                  "    </credits>\n    <category lang=\"en\">Documentary</category>\n" +
                      (bbc ? std::string("    <episode-num system=\"xmltv_ns\">2022.36.0</episode-num>\n")
                           : std::string("    <episode-num system=\"xmltv_ns\">0.5.0/2</episode-num>\n")) +
                      (c.id == "Arte.fr" ? "    <episode-num system=\"onscreen\">E6</episode-num>\n" : "") +
                      "    <previously-shown/>\n");
        // 18:30:45 to 19:00:15 on a grabber that writes seconds.
        programme(from + minutes(60) + seconds(45), from + minutes(90) + seconds(15),
                  "    <title>Weather</title>\n    <desc>The forecast.</desc>\n");
        programme(from + minutes(90), from + minutes(90), "    <title>Close</title>\n");
        programme(from + minutes(90), from + minutes(180),
                  "    <title>Film</title>\n    <sub-title>\u0421\u0435\u0440\u0438\u044f 1</sub-title>\n    <desc>" +
                      (c.id == "PervyKanal.ru" ? longRussianDescription() : std::string("A film.")) +
                      "</desc>\n    <rating system=\"VCHIP\"><value>TV-PG</value></rating>\n");
    }
    xml += "</tv>\n";
    return xml;
}

// A playlist as public IPTV lists are: `entries` entries (at least 220),
// most without tvg-chno, some numbers repeated, some no number at all,
// names decorated with quality and availability, player options on their
// own lines, on the EXTINF line and after the URL. The listing's channels
// are among them, by tvg-id, at scattered places.
inline std::string realPlaylist(int entries = 300) {
    struct Known {
        int at;
        std::string extinf;
    };
    const std::vector<Known> known = {
        {3, "tvg-id=\"BBCOne.uk\" tvg-chno=\"101\" tvg-name=\"BBC One\" group-title=\"UK\",BBC One HD"},
        {4, "tvg-id=\"BBCOne.uk\" tvg-chno=\"1\" group-title=\"UK\",BBC One SD"},
        {40, "tvg-id=\"rteone.ie\" group-title=\"Ireland\",RT\u00c9 One (1080p)"},
        {77, "tvg-id=\"AlSharqiya.iq\" tvg-chno=\"BS191\" tvg-logo=\"https://i.example/s.png\" group-title=\"Iraq\","
             "Al Sharqiya (1080p) [Not 24/7]"},
        {90, "tvg-id=\"Euronews.fr\" tvg-chno=\"2\" group-title=\"News\",Euronews (720p)"},
        {120, "tvg-id=\"CCTV4.cn\" tvg-chno=\"#\" group-title=\"China\",CCTV-4 (576p) [Geo-blocked]"},
        {150, "tvg-id=\"Channel7.au\" tvg-chno=\"7\" group-title=\"Australia\",Channel 7 (720p)"},
        {151, "tvg-id=\"7mate.au\" tvg-chno=\"7\" group-title=\"Australia\",7mate (720p)"},
        {200, "tvg-id=\"TV3.ie\" tvg-chno=\"-\" group-title=\"Ireland\",Virgin Media One [Not 24/7]"},
        {210, "tvg-id=\"PervyKanal.ru\" tvg-chno=\"5\" group-title=\"Russia\",\u041f\u0435\u0440\u0432\u044b\u0439 \u043a\u0430\u043d\u0430\u043b HD"},
    };
    static const char* const decorations[] = {" (720p)", " (1080p) [Not 24/7]", " [Geo-blocked]", "", " (480p)",
                                              " HD"};
    std::string m3u = "#EXTM3U x-tvg-url=\"https://epg.example/guide.xml.gz\"\n";
    size_t next = 0;
    for (int i = 1; i <= entries; ++i) {
        const std::string url = "https://streams.example/live/" + std::to_string(i) + "/index.m3u8";
        if (next < known.size() && known[next].at == i) {
            m3u += "#EXTINF:-1 " + known[next].extinf + "\n" + url + "\n";
            ++next;
            continue;
        }
        std::string chno;
        switch (i % 7) {
        case 1: chno = " tvg-chno=\"BS" + std::to_string(i) + "\""; break;
        case 2: chno = " tvg-chno=\"#\""; break;
        case 3: chno = " tvg-chno=\"-\""; break;
        case 4: chno = " tvg-chno=\"" + std::to_string(i % 50 + 1) + "\""; break;
        default: break;  // most entries have none
        }
        const std::string id = i % 4 == 0 ? "" : " tvg-id=\"Station" + std::to_string(i) + ".example\"";
        const std::string name = "Station " + std::to_string(i) + decorations[i % 6];
        if (i % 9 == 0) m3u += "#KODIPROP:inputstream.adaptive.manifest_type=hls\n";
        if (i % 5 == 0) m3u += "#EXTVLCOPT:http-referrer=https://player.example/\n";
        const std::string options = i % 11 == 0 ? " http-user-agent=\"Mozilla/5.0\"" : "";
        m3u += "#EXTINF:-1" + id + chno + options + " group-title=\"Misc\"," + name + "\n" + url +
               (i % 13 == 0 ? "|User-Agent=Mozilla/5.0&Referer=https://player.example/" : "") + "\n";
    }
    return m3u;
}

}  // namespace kelbo::testing
