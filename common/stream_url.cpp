#include "stream_url.h"

#include "text_util.h"
#include "url_split.h"

#include <algorithm>
#include <array>
#include <cctype>

namespace kelbo {

namespace {

std::string_view trimSpaces(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
    return text;
}

int hexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

}  // namespace

bool isStreamUrl(std::string_view text) {
    static constexpr std::array<std::string_view, 6> kSchemes = {"http://", "https://", "rtsp://",
                                                                 "rtsps://", "udp://",  "rtp://"};
    return std::any_of(kSchemes.begin(), kSchemes.end(), [&](std::string_view scheme) {
        if (text.size() <= scheme.size()) return false;
        for (std::size_t i = 0; i < scheme.size(); ++i)
            if (std::tolower(static_cast<unsigned char>(text[i])) != scheme[i]) return false;
        return true;
    });
}

bool safeHeaderName(std::string_view name) {
    static constexpr std::string_view kTokenMarks = "!#$%&'*+-.^_`|~";
    return !name.empty() && std::all_of(name.begin(), name.end(), [](char c) {
        return std::isalnum(static_cast<unsigned char>(c)) || kTokenMarks.find(c) != std::string_view::npos;
    });
}

bool safeHeaderValue(std::string_view value) {
    return std::none_of(value.begin(), value.end(), [](char c) {
        const auto byte = static_cast<unsigned char>(c);
        return (byte < 0x20 && c != '\t') || byte == 0x7F;
    });
}

bool setHttpHeader(HttpOptions& options, std::string_view name, std::string_view value) {
    name = trimSpaces(name);
    value = trimSpaces(value);
    if (!safeHeaderName(name) || !safeHeaderValue(value)) return false;
    if (equalsIgnoreCase(name, "User-Agent")) {
        options.userAgent = std::string(value);
    } else if (equalsIgnoreCase(name, "Referer") || equalsIgnoreCase(name, "Referrer")) {
        options.referer = std::string(value);
    } else {
        auto& headers = options.headers;
        const auto same = std::find_if(headers.begin(), headers.end(),
                                       [&](const auto& field) { return equalsIgnoreCase(field.first, name); });
        if (same != headers.end()) same->second = std::string(value);
        else headers.emplace_back(std::string(name), std::string(value));
    }
    return true;
}

std::string headerLines(const HttpOptions& options) {
    std::string lines;
    for (const auto& [name, value] : options.headers)
        if (safeHeaderName(name) && safeHeaderValue(value))
            lines.append(name).append(": ").append(value).append("\r\n");
    return lines;
}

std::string percentDecoded(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const bool escape = text[i] == '%' && i + 2 < text.size();
        if (escape && hexValue(text[i + 1]) >= 0 && hexValue(text[i + 2]) >= 0) {
            out += static_cast<char>(hexValue(text[i + 1]) * 16 + hexValue(text[i + 2]));
            i += 2;
        } else {
            out += text[i];
        }
    }
    return out;
}

StreamRequest splitUrlOptions(std::string_view text) {
    const std::size_t bar = text.find('|');
    StreamRequest request{std::string(trimSpaces(text.substr(0, bar))), {}};
    if (bar == std::string_view::npos) return request;
    std::string_view fields = text.substr(bar + 1);
    while (!fields.empty()) {
        const std::size_t amp = fields.find('&');
        const std::string_view field = fields.substr(0, amp);
        fields.remove_prefix(amp == std::string_view::npos ? fields.size() : amp + 1);
        const std::size_t equals = field.find('=');
        if (equals == std::string_view::npos) continue;
        setHttpHeader(request.http, percentDecoded(field.substr(0, equals)),
                      percentDecoded(field.substr(equals + 1)));
    }
    return request;
}

std::string urlHost(std::string_view url) { return splitUrlAsFfmpeg(url).hostAndPort; }

std::string urlScheme(std::string_view url) {
    const std::size_t colon = url.find(':');
    if (colon == std::string_view::npos || colon == 0) return {};
    std::string scheme(url.substr(0, colon));
    for (char& c : scheme) {
        if (!std::isalnum(static_cast<unsigned char>(c)) && c != '+' && c != '-' && c != '.') return {};
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return std::isalpha(static_cast<unsigned char>(scheme[0])) ? scheme : std::string();
}

std::string urlHostName(std::string_view url) { return splitUrlAsFfmpeg(url).host; }

}  // namespace kelbo
