#pragma once

#include <filesystem>

namespace kelbo::bench {

// Writes an XMLTV listing shaped like a grabber's for a real country: 80
// channels, each a run of programmes back to back with titles from its own
// set of series and films, sub-titles, descriptions of about 300 characters
// that are nearly all different, credits, one to three categories, episode
// numbers in two systems and the elements a reader skips (video, audio,
// ratings, icons). The same count always gives the same file.
// Every channel shows "News" a few times a day. Returns the number of
// programmes written (a multiple of the channels).
int writeRealisticListing(const std::filesystem::path& file, int programmes);

}  // namespace kelbo::bench
