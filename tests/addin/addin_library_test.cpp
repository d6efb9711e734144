#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <regex>
#include <set>
#include <sys/wait.h>

using namespace kelbo::testing;

namespace {

struct Output {
    int status = -1;
    std::string text;
};

Output run(const std::string& command) {
    Output out;
    FILE* pipe = ::popen((command + " 2>&1").c_str(), "r");
    if (!pipe) return out;
    std::array<char, 4096> buffer{};
    while (size_t n = std::fread(buffer.data(), 1, buffer.size(), pipe)) out.text.append(buffer.data(), n);
    const int status = ::pclose(pipe);
    out.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return out;
}

std::set<std::string> matches(const std::string& text, const std::string& pattern) {
    std::set<std::string> found;
    const std::regex re(pattern);
    for (auto it = std::sregex_iterator(text.begin(), text.end(), re); it != std::sregex_iterator(); ++it)
        found.insert((*it)[1]);
    return found;
}

TEST(AddinLibrary, NeedsOnlyTheCAndCxxRuntimes) {
    const Output elf = run(std::string("readelf -d '") + KELBO_ADDIN_PATH + "'");
    ASSERT_EQ(elf.status, 0) << elf.text;
    const auto needed = matches(elf.text, R"(\(NEEDED\)\s+Shared library: \[([^\]]+)\])");
    ASSERT_FALSE(needed.empty()) << elf.text;
    const std::set<std::string> allowed = {"libstdc++.so.6", "libm.so.6", "libgcc_s.so.1",
                                           "libc.so.6", "ld-linux-x86-64.so.2"};
    for (const std::string& library : needed) EXPECT_TRUE(allowed.contains(library)) << library;
}

TEST(AddinLibrary, ExportsItsEntryPointsAndNothingElse) {
    const Output syms = run(std::string("readelf --dyn-syms -W '") + KELBO_ADDIN_PATH + "'");
    ASSERT_EQ(syms.status, 0) << syms.text;
    // Defined (section index a number) global symbols.
    const auto exported = matches(syms.text, R"(\s(?:FUNC|OBJECT)\s+(?:GLOBAL|WEAK|UNIQUE)\s+DEFAULT\s+\d+\s+(\S+))");
    std::set<std::string> expected = {"OnPopupProgrammeMenuA", "SetMessageCallback"};
    for (int i = 0; i < 10; ++i) expected.insert("OnRecordCommand" + std::to_string(i));
    EXPECT_EQ(exported, expected);
}

Output runProbe(const char* probe, const char* addin, const TempDir& dir) {
    return run(std::string("'") + probe + "' '" + addin + "' '" + dir.path().string() + "'");
}

TEST(AddinLibrary, RecordBytesAtTheTableOffsetsOn64Bit) {
    TempDir dir;
    const Output out = runProbe(KELBO_LAYOUT_PROBE, KELBO_ADDIN_PATH, dir);
    EXPECT_EQ(out.status, 0) << out.text;
    EXPECT_EQ(out.text.substr(0, 2), "ok") << out.text;
}

TEST(AddinLibrary, RecordBytesAtTheTableOffsetsOn32Bit) {
#ifdef KELBO_LAYOUT_PROBE32
    // Building the 32-bit add-in already checked the shared header's
    // offsets against the tables; running it needs a kernel that runs
    // 32-bit programs.
    TempDir dir;
    const Output out = runProbe(KELBO_LAYOUT_PROBE32, KELBO_ADDIN32_PATH, dir);
    if (out.status == 126 || out.text.find("Exec format error") != std::string::npos)
        GTEST_SKIP() << "the 32-bit add-in was built, but this machine cannot run 32-bit programs";
    EXPECT_EQ(out.status, 0) << out.text;
    EXPECT_EQ(out.text.substr(0, 2), "ok") << out.text;
#else
    GTEST_SKIP() << "no 32-bit toolchain (install g++-multilib and re-run cmake)";
#endif
}

}  // namespace
