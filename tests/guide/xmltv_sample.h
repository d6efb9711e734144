#pragma once

#include "common/date_time.h"

#include <chrono>
#include <cstdio>
#include <string>

namespace kelbo::testing {

// A small XMLTV listing as a grabber writes it: channels with numeric and
// named display names, programmes out of order and in two time zones, one
// without a stop time, and elements the guide does not know.
inline const std::string kXmltvSample = R"(<?xml version="1.0" encoding="UTF-8"?>
<!DOCTYPE tv SYSTEM "xmltv.dtd">
<tv generator-info-name="test grabber">
  <channel id="four.example">
    <display-name>4</display-name>
    <display-name lang="en">Channel Four</display-name>
    <icon src="http://example.com/4.png"/>
  </channel>
  <programme start="20030305080500 +0100" stop="20030305093500 +0100" channel="four.example">
    <title lang="en">Morning News</title>
    <title lang="de">Morgennachrichten</title>
    <desc lang="en">Headlines &amp; weather.
Director: Ann Lee</desc>
    <category lang="en">News</category>
    <category lang="en">Current affairs</category>
    <rating system="X"><value>U</value></rating>
  </programme>
  <programme start="20030305060000" stop="20030305063000" channel="named.example">
    <title>Early Show</title>
  </programme>
  <programme start="20030305120000 +0000" channel="four.example">
    <title>No Stop</title>
  </programme>
  <programme start="tomorrow" stop="20030305130000 +0000" channel="four.example">
    <title>Bad Start</title>
  </programme>
  <future-element><nested>ignored</nested></future-element>
  <channel id="named.example">
    <display-name>Named</display-name>
  </channel>
</tv>
)";

// An instant as an XMLTV time in UTC: "20030305080500 +0000".
inline std::string xmltvTime(Instant instant) {
    using namespace std::chrono;
    const auto day = floor<days>(instant);
    const year_month_day date{day};
    const hh_mm_ss time{floor<seconds>(instant - day)};
    char text[32];
    std::snprintf(text, sizeof text, "%04d%02u%02u%02ld%02ld%02ld +0000", static_cast<int>(date.year()),
                  static_cast<unsigned>(date.month()), static_cast<unsigned>(date.day()),
                  static_cast<long>(time.hours().count()), static_cast<long>(time.minutes().count()),
                  static_cast<long>(time.seconds().count()));
    return text;
}

// One <programme> element from `start` for `minutes`, with `inner` inside.
inline std::string xmltvProgramme(const std::string& channel, Instant start, int minutes,
                                  const std::string& inner) {
    return "<programme start='" + xmltvTime(start) + "' stop='" +
           xmltvTime(start + std::chrono::minutes(minutes)) + "' channel='" + channel + "'>" + inner +
           "</programme>\n";
}

}  // namespace kelbo::testing
