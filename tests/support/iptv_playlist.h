#pragma once

#include <string>
#include <vector>

namespace kelbo::testing {

// A channel playlist shaped like the public IPTV lists users download, not
// like anything Kelbo writes: about 300 entries; tvg-chno missing on most,
// repeated by several entries ("700") or not a number ("BS191", "#", "-");
// names decorated with quality and availability ("(1080p)", "[Not 24/7]",
// "HD") and mostly without tvg-name; Cyrillic and Arabic names; tvg-id as
// guides write them; #EXTVLCOPT lines, http-* attributes, "|User-Agent="
// suffixes, #KODIPROP lines and group titles.
//
// `head` entries (each its #EXTINF line, any option lines and its URL)
// come first, in order; `spread` entries are placed among the others.
std::string iptvPlaylist(const std::vector<std::string>& head, const std::vector<std::string>& spread = {});

// The number (from 1) of the first line of `text` that contains `needle`;
// 0 when none does.
int lineOf(const std::string& text, const std::string& needle);

}  // namespace kelbo::testing
