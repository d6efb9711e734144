#include "addin_fixture.h"

#include <cstdlib>
#include <cstring>
#include <dlfcn.h>

namespace kelbo::testing {

namespace {

std::string env(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

}  // namespace

void AddinTest::SetUp() {
    savedConfig_ = env("XDG_CONFIG_HOME");
    savedHome_ = env("HOME");
    setenv("XDG_CONFIG_HOME", (dir / "config").c_str(), 1);
    setenv("HOME", (dir / "home").c_str(), 1);
    std::filesystem::create_directories(dir / "home");
    load();
}

void AddinTest::TearDown() {
    unload();
    setenv("XDG_CONFIG_HOME", savedConfig_.c_str(), 1);
    setenv("HOME", savedHome_.c_str(), 1);
}

void AddinTest::load() {
    unload();
    handle = ::dlopen(KELBO_ADDIN_PATH, RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(handle, nullptr) << ::dlerror();
}

void AddinTest::unload() {
    if (handle) ::dlclose(handle);
    handle = nullptr;
}

void* AddinTest::symbol(const std::string& name) const {
    void* address = ::dlsym(handle, name.c_str());
    EXPECT_NE(address, nullptr) << name;
    return address;
}

int32_t AddinTest::count() const {
    int32_t area[2] = {-1, 0x5A5A5A5A};
    reinterpret_cast<KelboPopupProgrammeMenu>(symbol(KELBO_EXPORT_POPUP_MENU))(area, 0);
    EXPECT_EQ(area[1], 0x5A5A5A5A) << "the count call wrote past its four bytes";
    return area[0];
}

std::vector<KelboMenuItem> AddinTest::fill(size_t entries) const {
    // Guard bytes everywhere, so that any byte written shows.
    std::vector<KelboMenuItem> items(entries + 1);
    std::memset(items.data(), 0xEE, items.size() * sizeof(KelboMenuItem));
    reinterpret_cast<KelboPopupProgrammeMenu>(symbol(KELBO_EXPORT_POPUP_MENU))(items.data(), 1);
    return items;
}

void AddinTest::record(int number, const KelboProgramme& programme) const {
    const auto command = reinterpret_cast<KelboRecordCommand>(
        symbol(KELBO_EXPORT_RECORD_COMMAND_PREFIX + std::to_string(number)));
    command(&programme);
}

void AddinTest::store(const std::vector<std::string>& templates, const std::string& defaults) {
    std::string text = "[Software\\VB and VBA Program Settings\\Kelbo\\Defaults]\n" + defaults;
    if (!templates.empty()) {
        text += "\n[Software\\VB and VBA Program Settings\\Kelbo\\DG Templates]\n";
        for (const std::string& name : templates) text += name + "=1\n";
    }
    std::filesystem::create_directories(storeFile().parent_path());
    writeFile(storeFile(), text);
}

KelboProgramme AddinTest::example() {
    KelboProgramme p{};
    p.hostWord = 0xDEADBEEF;
    p.start = {2003, 3, 3, 5, 7, 5, 30, 250};
    p.duration = 90;
    p.name = "Morning News";
    p.category = "News";
    p.description = "Headlines";
    p.channelName = "Channel Four";
    p.channelNumber = "4";
    p.reminderId = 11;
    p.smartSearchId = 22;
    p.favouriteId = 33;
    return p;
}

}  // namespace kelbo::testing
