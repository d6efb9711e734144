#include "translation.h"

#include <cstddef>
#include <utility>

namespace kelbo {

namespace {
Translator& installed() {
    static Translator translator;
    return translator;
}
}  // namespace

std::string translate(const char* context, const char* text) {
    const Translator& translator = installed();
    return translator ? translator(context, text) : std::string(text);
}

std::string fillIn(const std::string& text, std::initializer_list<std::string> args) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char next = i + 1 < text.size() ? text[i + 1] : '\0';
        const std::size_t n = static_cast<std::size_t>(next - '0');
        if (text[i] == '%' && next >= '1' && next <= '9' && n <= args.size()) {
            out += *(args.begin() + (n - 1));
            ++i;
        } else {
            out += text[i];
        }
    }
    return out;
}

void setTranslator(Translator translator) { installed() = std::move(translator); }

}  // namespace kelbo
