#pragma once

#include <functional>
#include <initializer_list>
#include <string>

namespace kelbo {

// The texts the user reads (box titles and texts, notices, status texts)
// pass through translate(), so that the program shows them in the user's
// language; the layers below the widgets know nothing of how. Until the
// program installs a translator (and in the tests and command-line tools),
// a text is its English self.
//
// Call it with literal strings only: lupdate (scripts/update-translations)
// finds the texts in the source by these calls, `context` being the group
// a translator sees them in. Never for what is stored or parsed again
// (schedule values, settings keys, log lines, machine output).
std::string translate(const char* context, const char* text);

// Marks a literal kept in a table or a constant for lupdate, leaving it as
// it is: it is translate()d, with the same context, where it is shown.
#define KELBO_TRANSLATE_NOOP(context, text) text

// `text` with %1, %2, ... replaced by `args` in one pass, so that an
// argument's own "%1" stays as it is; a translation may move the places.
std::string fillIn(const std::string& text, std::initializer_list<std::string> args);

using Translator = std::function<std::string(const char* context, const char* text)>;
// Set once at start-up, before any other thread runs; empty for English.
void setTranslator(Translator translator);

}  // namespace kelbo
