#pragma once

#include "addin/guide_records.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace kelbo::testing {

// The add-in loaded through dlopen as a host loads it, with its own
// settings folder and home folder; each test gets a fresh load.
class AddinTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    void load();
    void unload();
    void* symbol(const std::string& name) const;

    int32_t count() const;
    std::vector<KelboMenuItem> fill(size_t entries) const;
    void record(int number, const KelboProgramme& programme) const;

    // Writes the store: "DG Templates" with `templates` (none: no section)
    // and "Defaults" with `defaults` lines ("ScheduleFile=...").
    void store(const std::vector<std::string>& templates, const std::string& defaults = {});
    std::filesystem::path storeFile() const { return dir / "config" / "kelbo" / "registry.ini"; }
    std::filesystem::path schedule() const { return dir / "schedule.txt"; }
    std::string useSchedule() { return "ScheduleFile=" + schedule().string() + "\n"; }

    // 5 March 2003 07:05, 90 minutes, channel 4.
    static KelboProgramme example();

    TempDir dir;
    void* handle = nullptr;

private:
    std::string savedConfig_, savedHome_;
};

}  // namespace kelbo::testing
