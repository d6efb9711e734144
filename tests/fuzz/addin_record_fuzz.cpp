// Builds a programme record from arbitrary bytes, as a guide would hand it
// to the add-in, and checks the record the add-in writes for it: the reader
// sees exactly one record, every text lands in its own field and nowhere
// else, and the recorder's rewrite of it reads back the same.
#include "addin/schedule_append.h"
#include "common/schedule_format.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <sstream>

using namespace kelbo;

namespace {

template <typename T>
T take(const std::uint8_t*& data, size_t& size) {
    T value{};
    const size_t n = size < sizeof value ? size : sizeof value;
    std::memcpy(&value, data, n);
    data += n;
    size -= n;
    return value;
}

// The next NUL-terminated text of the input (the rest when there is no NUL).
std::string text(const std::uint8_t*& data, size_t& size) {
    const auto* end = static_cast<const std::uint8_t*>(std::memchr(data, 0, size));
    const size_t n = end ? static_cast<size_t>(end - data) : size;
    std::string out(reinterpret_cast<const char*>(data), n);
    data += end ? n + 1 : n;
    size -= end ? n + 1 : n;
    return out;
}

std::string oneLine(std::string s) {
    for (char& c : s)
        if (c == '\r' || c == '\n') c = ' ';
    return s;
}

std::string firstLine(const std::string& s) { return s.substr(0, s.find_first_of("\r\n")); }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    KelboProgramme p{};
    p.start = take<KelboSystemTime>(data, size);
    p.duration = take<std::uint32_t>(data, size);
    p.reminderId = take<std::uint32_t>(data, size);
    p.smartSearchId = take<std::uint32_t>(data, size);
    p.favouriteId = take<std::uint32_t>(data, size);
    const std::string name = text(data, size), category = text(data, size),
                      description = text(data, size), channelName = text(data, size),
                      channelNumber = text(data, size), templateName = text(data, size);
    p.name = name.c_str();
    p.category = category.c_str();
    p.description = description.c_str();
    p.channelName = channelName.c_str();
    p.channelNumber = channelNumber.c_str();

    const ScheduleItem item = addin::itemFromProgramme(p, templateName);
    const std::string written = formatAppendedRecord(item);
    std::istringstream in(written);
    ScheduleReader reader(in);
    const auto record = reader.next();
    if (!record || !record->terminated || reader.next()) std::abort();
    const ScheduleItem& read = record->item;
    if (read.ProgrammeName != oneLine(name) || read.Category != oneLine(category) ||
        read.ChannelName != oneLine(channelName) || read.ChannelNumber != oneLine(channelNumber) ||
        read.Description != firstLine(description) || read.Template != oneLine(item.Template) ||
        read.Duration != std::to_string(p.duration) || !read.FileName.empty() ||
        !read.Complete.empty() || !read.StartBuffer.empty() || !read.EndBuffer.empty())
        std::abort();

    std::istringstream again(formatRecord(read));
    ScheduleReader rereader(again);
    auto back = rereader.next();
    if (!back || rereader.next()) std::abort();
    back->item.IndexString = read.IndexString;
    if (!(back->item == read)) std::abort();
    return 0;
}
