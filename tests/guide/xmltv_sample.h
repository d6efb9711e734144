#pragma once

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

}  // namespace kelbo::testing
