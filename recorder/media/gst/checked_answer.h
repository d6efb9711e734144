#pragma once

#include <string>

struct AVIOContext;

namespace kelbo {

// A server's answer as FFmpeg reads it, looked at first: an HLS playlist
// (the answer begins "#EXTM3U") is read whole before FFmpeg sees any of it
// and given on only when playlistRefusal() lets it; anything else passes
// as it comes. What FFmpeg asks of the answer itself (where a redirect
// ended, its cookies, MIME type and header options) is answered by the
// connection beneath.
namespace checked_answer {

// Takes over `inner` (closed with the answer). Null, with `why` set and
// `inner` closed, when the answer may not be read; also null, with `why`
// empty and *`error` set, when it cannot be read.
AVIOContext* wrap(AVIOContext* inner, bool nested, std::string* why, int* error);

// True for an answer wrap() made.
bool isChecked(const AVIOContext* io);

// Closes an answer wrap() made, and its connection.
int close(AVIOContext* io);

}  // namespace checked_answer

}  // namespace kelbo
