// The schedule document with its list, over a schedule file in a folder of
// its own, for the tests of loading, rewriting and merging.
#pragma once

#include "common/schedule_format.h"
#include "recorder/forms/schedule_listing.h"
#include "recorder/schedule/schedule_document.h"
#include "support/recording_message_boxes.h"
#include "support/schedule_text.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace kelbo::testing {

class ScheduleDocumentTest : public ::testing::Test {
protected:
    ScheduleDocumentTest() : document(settings, messages, clock) {
        settings.ScheduleFile = (dir / "KelboSchedule.txt").string();
        settings.FileString = "/rec/%programme%-%starttime%.mpg";
        settings.Template = "DVD";
        settings.StartBuffer = "2";
        settings.EndBuffer = "5";
    }

    std::filesystem::path file() const { return dir / "KelboSchedule.txt"; }
    void load(const std::string& text) {
        writeFile(file(), text);
        document.Load_Schedule();
        listing.Display_Schedule();
    }
    std::string cell(int row, Column column) const { return listing.list().cell(row, column); }

    static GuideRecord record(const std::string& name, const std::string& date,
                              const std::string& time, const std::string& channel = "101") {
        GuideRecord r;
        r.name = name;
        r.date = date;
        r.time = time;
        r.channelNumber = channel;
        return r;
    }

    TempDir dir;
    LiveSettings settings;
    RecordingMessageBoxes messages;
    FixedClock clock{toInstant(DateTime::fromCivil(2026, 12, 8, 12, 0))};
    ScheduleDocument document;
    NextProgramme choice{document, clock};
    // What the windows show of it.
    ScheduleListing listing{document, choice};
};


inline std::vector<ScheduleItem> acceptedItems(const std::string& text) {
    std::istringstream in(text);
    ScheduleReader reader(in);
    std::vector<ScheduleItem> items;
    while (auto r = reader.next())
        if (r->accepted) items.push_back(r->item);
    return items;
}

inline std::vector<std::string> names(const std::string& text) {
    std::vector<std::string> out;
    for (const ScheduleItem& item : acceptedItems(text)) out.push_back(item.ProgrammeName);
    return out;
}

inline const ScheduleItem* find(const std::vector<ScheduleItem>& items, const std::string& name) {
    for (const ScheduleItem& item : items)
        if (item.ProgrammeName == name) return &item;
    return nullptr;
}

}  // namespace kelbo::testing
