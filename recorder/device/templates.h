#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace kelbo {

class MessageBoxes;

// Recording templates live in folders below the device's registry key:
//
//   <DeviceRegistryKey>/Device DVX/VideoTemplates/PrecannedTemplates/*.tmpl
//       the templates shipped with the program
//   <DeviceRegistryKey>/Device DVX/VideoTemplates/*.tmpl
//       the user's own templates
//
// A template's name is its file name without the extension. Folder entries
// are taken in name order, the stand-in for the registry's order.
inline constexpr std::string_view kTemplateFileExtension = ".tmpl";
inline constexpr std::string_view kPrecannedTemplatesFolder = "PrecannedTemplates";
inline constexpr std::string_view kTemplateKeySuffix =
    "/Device DVX/VideoTemplates/PrecannedTemplates";

// The key of the precanned templates for a device registry key.
std::string templateKeyFor(const std::string& deviceRegistryKey);

// The folder of the user's templates: the template key less its last 19
// characters ("/PrecannedTemplates").
std::string templateRootFor(const std::string& templateKey);

// Template names of one folder in name order; nothing when the folder
// cannot be read.
std::optional<std::vector<std::string>> templateNamesIn(const std::string& folder);

struct TemplateLists {
    // The Options dialog's drop-down list `template`: precanned, then user.
    std::vector<std::string> templates;
    // `Digiguide_Templates`: "DEFAULT Template" (ticked), precanned, user.
    std::vector<std::pair<std::string, bool>> digiguideTemplates;
    // `Detail_Template`: "DEFAULT Template", precanned, user.
    std::vector<std::string> detailTemplates;
    // Position in `templates` of the entry named like the Template setting.
    std::optional<int> templatePosition;
};

// Reads both template folders into the three lists. When a folder cannot
// be opened, shows "Abort at 1" and returns nothing: the caller ends the
// program.
std::optional<TemplateLists> Fill_Template_Lists(const std::string& templateKey,
                                                 const std::string& currentTemplate,
                                                 MessageBoxes& boxes);

// Picture size classes; the lines follow the video standard.
enum class PictureSize {
    D1,      // 720 x full height
    HalfD1,  // 352 x full height
    SIF,     // 352 x half height
};

enum class VideoCodec {
    Mpeg2,
    Mpeg1,  // for Video CD
};

// How the part files are laid out: a plain MPEG program stream, or one a
// disc authoring tool takes as it is.
enum class StreamLayout {
    Program,
    Dvd,  // navigation packs, 2048-byte packs at the DVD's mux rate
    Vcd,  // 2324-byte packs at the Video CD's mux rate
};

// The encoding a template asks for.
struct EncodingTemplate {
    PictureSize size = PictureSize::D1;
    int videoKbps = 6000;
    int maxVideoKbps = 9000;
    int gopLength = 12;
    int bFrames = 0;
    int audioKbps = 224;
    int sampleRate = 48000;
    VideoCodec videoCodec = VideoCodec::Mpeg2;
    StreamLayout layout = StreamLayout::Program;
    // A network stream's own packets are written as they come, without
    // decoding and encoding again; other sources encode as usual.
    bool streamCopy = false;

    bool operator==(const EncodingTemplate&) const = default;
};

// Parses "Key=Value" lines (Size, VideoBitRate, MaxVideoBitRate, GopLength,
// BFrames, AudioBitRate, SampleRate; rates in kbit/s; VideoCodec MPEG2 or
// MPEG1; Layout Program, DVD or VCD; StreamCopy 0 or 1). Blank lines, lines
// starting with '#', unknown keys and values out of range are ignored and
// leave the default.
EncodingTemplate parseEncodingTemplate(std::string_view text);

// The template file for `name`: a precanned one, else a user one, else the
// first precanned template. Empty when there is no template at all.
std::filesystem::path findTemplateFile(const std::string& templateKey, const std::string& name);

// Reads a template file; the defaults when it cannot be read.
EncodingTemplate readEncodingTemplate(const std::filesystem::path& file);

}  // namespace kelbo
