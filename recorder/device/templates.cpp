#include "templates.h"

#include "common/host_paths.h"
#include "common/settings_keys.h"
#include "recorder/ports/message_boxes.h"

#include <algorithm>
#include <charconv>
#include <fstream>
#include <sstream>

namespace kelbo {

namespace fs = std::filesystem;

std::string templateKeyFor(const std::string& deviceRegistryKey) {
    return deviceRegistryKey + std::string(kTemplateKeySuffix);
}

std::string templateRootFor(const std::string& templateKey) {
    constexpr size_t kSuffix = 19;  // "/PrecannedTemplates"
    return templateKey.substr(0, templateKey.size() > kSuffix ? templateKey.size() - kSuffix : 0);
}

std::optional<std::vector<std::string>> templateNamesIn(const std::string& folder) {
    std::error_code ec;
    fs::directory_iterator it(toHostPath(folder), ec);
    if (ec) return std::nullopt;
    std::vector<std::string> names;
    for (; it != fs::directory_iterator(); it.increment(ec)) {
        if (ec) break;  // a failure while listing ends the listing
        const fs::path& path = it->path();
        if (path.extension() == kTemplateFileExtension && it->is_regular_file(ec))
            names.push_back(path.stem().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

std::optional<TemplateLists> Fill_Template_Lists(const std::string& templateKey,
                                                 const std::string& currentTemplate,
                                                 MessageBoxes& boxes) {
    TemplateLists lists;
    const std::string passKeys[] = {templateKey, templateRootFor(templateKey)};
    for (int pass = 0; pass < 2; ++pass) {
        const auto names = templateNamesIn(passKeys[pass]);
        if (!names) {
            boxes.show("Kelbo", "Abort at 1", MessageBoxes::Icon::None, MessageBoxes::Buttons::Ok);
            return std::nullopt;
        }
        if (pass == 0) {
            lists.digiguideTemplates.emplace_back(settings::kDefaultTemplateEntry, true);
            lists.detailTemplates.push_back(settings::kDefaultTemplateEntry);
        }
        for (const std::string& name : *names) {
            if (name == kPrecannedTemplatesFolder) continue;
            lists.templates.push_back(name);
            lists.digiguideTemplates.emplace_back(name, false);
            lists.detailTemplates.push_back(name);
            if (name == currentTemplate)
                lists.templatePosition = static_cast<int>(lists.templates.size()) - 1;
        }
    }
    return lists;
}

namespace {

std::string_view trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r'))
        s.remove_suffix(1);
    return s;
}

std::optional<int> intIn(std::string_view text, int low, int high) {
    int value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size() || value < low || value > high)
        return std::nullopt;
    return value;
}

std::optional<PictureSize> sizeNamed(std::string_view text) {
    if (text == "D1") return PictureSize::D1;
    if (text == "HalfD1") return PictureSize::HalfD1;
    if (text == "SIF") return PictureSize::SIF;
    return std::nullopt;
}

// The bit rates an MPEG-1 layer II encoder offers for stereo.
bool isLayerTwoRate(int kbps) {
    constexpr int kRates[] = {64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 384};
    return std::find(std::begin(kRates), std::end(kRates), kbps) != std::end(kRates);
}

void apply(EncodingTemplate& t, std::string_view key, std::string_view value) {
    if (key == "Size") {
        if (auto size = sizeNamed(value)) t.size = *size;
    } else if (key == "VideoBitRate") {
        if (auto v = intIn(value, 300, 15000)) t.videoKbps = *v;
    } else if (key == "MaxVideoBitRate") {
        if (auto v = intIn(value, 300, 15000)) t.maxVideoKbps = *v;
    } else if (key == "GopLength") {
        if (auto v = intIn(value, 1, 300)) t.gopLength = *v;
    } else if (key == "BFrames") {
        if (auto v = intIn(value, 0, 4)) t.bFrames = *v;
    } else if (key == "AudioBitRate") {
        if (auto v = intIn(value, 64, 384); v && isLayerTwoRate(*v)) t.audioKbps = *v;
    } else if (key == "VideoCodec") {
        if (value == "MPEG2") t.videoCodec = VideoCodec::Mpeg2;
        if (value == "MPEG1") t.videoCodec = VideoCodec::Mpeg1;
    } else if (key == "Layout") {
        if (value == "Program") t.layout = StreamLayout::Program;
        if (value == "DVD") t.layout = StreamLayout::Dvd;
        if (value == "VCD") t.layout = StreamLayout::Vcd;
    } else if (key == "SampleRate") {
        if (auto v = intIn(value, 32000, 48000); v && (*v == 32000 || *v == 44100 || *v == 48000))
            t.sampleRate = *v;
    } else if (key == "StreamCopy") {
        if (auto v = intIn(value, 0, 1)) t.streamCopy = *v == 1;
    }
}

}  // namespace

EncodingTemplate parseEncodingTemplate(std::string_view text) {
    EncodingTemplate t;
    while (!text.empty()) {
        const size_t eol = text.find('\n');
        const std::string_view line = trim(text.substr(0, eol));
        text.remove_prefix(eol == std::string_view::npos ? text.size() : eol + 1);
        const size_t eq = line.find('=');
        if (line.empty() || line.front() == '#' || eq == std::string_view::npos) continue;
        apply(t, trim(line.substr(0, eq)), trim(line.substr(eq + 1)));
    }
    // A peak below the average would make the rate control fail.
    t.maxVideoKbps = std::max(t.maxVideoKbps, t.videoKbps);
    return t;
}

fs::path findTemplateFile(const std::string& templateKey, const std::string& name) {
    const fs::path precanned = toHostPath(templateKey);
    const fs::path user = toHostPath(templateRootFor(templateKey));
    const std::string file = name + std::string(kTemplateFileExtension);
    std::error_code ec;
    if (!name.empty() && name != kPrecannedTemplatesFolder) {
        if (fs::is_regular_file(precanned / file, ec)) return precanned / file;
        if (fs::is_regular_file(user / file, ec)) return user / file;
    }
    const auto names = templateNamesIn(templateKey);
    if (names && !names->empty())
        return precanned / (names->front() + std::string(kTemplateFileExtension));
    return {};
}

EncodingTemplate readEncodingTemplate(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) return {};
    std::ostringstream text;
    text << in.rdbuf();
    return parseEncodingTemplate(text.str());
}

}  // namespace kelbo
