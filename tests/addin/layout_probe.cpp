// Calls the add-in with records laid out byte by byte at the offsets of the
// guide's tables for this build's pointer width, without the shared header,
// so that the library is checked against the tables themselves. Prints "ok"
// or what differs.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <dlfcn.h>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

namespace {

struct ProgrammeTable {
    size_t start, duration, name, category, description, channelName, channelNumber;
    size_t reminderId, smartSearchId, favouriteId, size;
};
struct MenuTable {
    size_t text, flag, command, size;
};

// 32-bit: the guide's own tables. 64-bit: pointers on 8-byte boundaries.
constexpr ProgrammeTable kProgramme = sizeof(void*) == 4
    ? ProgrammeTable{4, 20, 24, 28, 32, 36, 40, 44, 48, 52, 56}
    : ProgrammeTable{4, 20, 24, 32, 40, 48, 56, 64, 68, 72, 80};
constexpr MenuTable kMenu = sizeof(void*) == 4 ? MenuTable{4, 56, 60, 64} : MenuTable{4, 56, 64, 72};

int failures = 0;

void check(bool ok, const std::string& what) {
    if (ok) return;
    std::cout << "FAIL: " << what << '\n';
    ++failures;
}

template <typename T>
void put(std::vector<unsigned char>& bytes, size_t at, T value) {
    std::memcpy(bytes.data() + at, &value, sizeof value);
}

template <typename T>
T get(const std::vector<unsigned char>& bytes, size_t at) {
    T value;
    std::memcpy(&value, bytes.data() + at, sizeof value);
    return value;
}

std::string slurp(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "usage: layout_probe ADDIN WORK_FOLDER\n";
        return 2;
    }
    const std::filesystem::path work = argv[2];
    const auto schedule = work / "probe.txt";
    std::filesystem::create_directories(work / "config" / "kelbo");
    std::ofstream(work / "config" / "kelbo" / "registry.ini")
        << "[Software\\VB and VBA Program Settings\\Kelbo\\Defaults]\nScheduleFile=" << schedule.string()
        << "\n[Software\\VB and VBA Program Settings\\Kelbo\\DG Templates]\n"
           "DEFAULT Template=1\nHalf D1=1\n";
    setenv("XDG_CONFIG_HOME", (work / "config").c_str(), 1);

    void* addin = ::dlopen(argv[1], RTLD_NOW | RTLD_LOCAL);
    if (!addin) {
        std::cout << "FAIL: " << ::dlerror() << '\n';
        return 1;
    }
    using Popup = void (*)(void*, int32_t);
    const auto popup = reinterpret_cast<Popup>(::dlsym(addin, "OnPopupProgrammeMenuA"));
    check(popup != nullptr, "OnPopupProgrammeMenuA exported");
    if (!popup) return 1;

    std::vector<unsigned char> area(8, 0xEE);
    popup(area.data(), 0);
    check(get<int32_t>(area, 0) == 2, "count call reports 2");

    std::vector<unsigned char> menu(3 * kMenu.size, 0xEE);
    popup(menu.data(), 1);
    for (size_t i = 0; i < 2; ++i) {
        const size_t base = i * kMenu.size;
        const std::string text(reinterpret_cast<const char*>(menu.data() + base + kMenu.text));
        check(text == (i == 0 ? "Record with DEFAULT Template" : "Record with Half D1"), "menu text " + text);
        check(get<int32_t>(menu, base + kMenu.flag) == 1, "flag of entry " + std::to_string(i));
        check(get<void*>(menu, base + kMenu.command) ==
                  ::dlsym(addin, ("OnRecordCommand" + std::to_string(i)).c_str()),
              "command of entry " + std::to_string(i));
        check(get<uint32_t>(menu, base) == 0xEEEEEEEEu, "host word of entry " + std::to_string(i));
    }
    for (size_t at = 2 * kMenu.size; at < menu.size(); ++at)
        check(menu[at] == 0xEE, "byte " + std::to_string(at) + " beyond the last entry");

    std::vector<unsigned char> programme(kProgramme.size, 0xCC);
    const uint16_t start[8] = {2003, 3, 3, 5, 7, 5, 0, 0};
    std::memcpy(programme.data() + kProgramme.start, start, sizeof start);
    put<uint32_t>(programme, kProgramme.duration, 90);
    const char* texts[] = {"News", "Current affairs", "Line one\r\nline two", "Channel Four", "4"};
    const size_t textAt[] = {kProgramme.name, kProgramme.category, kProgramme.description,
                             kProgramme.channelName, kProgramme.channelNumber};
    for (size_t i = 0; i < 5; ++i) put<const char*>(programme, textAt[i], texts[i]);
    put<uint32_t>(programme, kProgramme.reminderId, 11);
    put<uint32_t>(programme, kProgramme.smartSearchId, 22);
    put<uint32_t>(programme, kProgramme.favouriteId, 4294967295u);
    using Command = void (*)(const void*);
    const auto command = get<Command>(menu, kMenu.size + kMenu.command);
    if (command) command(programme.data());

    const std::string expected =
        "ProgrammeName: News\r\nStartTime    : 07:05\r\nStartDate    : 05-03-2003\r\n"
        "ChannelNumber: 4\r\nChannelName  : Channel Four\r\nDuration     : 90\r\n"
        "Category     : Current affairs\r\nReminderID   : 11\r\nSmartSearchID: 22\r\n"
        "FavouriteID  : 4294967295\r\nDescription  : Line one\r\nline two\r\n"
        "Template     : Half D1\r\n----------BREAK----------\r\n";
    const std::string written = slurp(schedule);
    check(written == expected, "appended record:\n" + written);
    ::dlclose(addin);
    if (failures == 0) std::cout << "ok " << sizeof(void*) * 8 << "-bit\n";
    return failures == 0 ? 0 : 1;
}
