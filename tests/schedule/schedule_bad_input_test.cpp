// Whatever a schedule file holds, loading it neither crashes nor takes
// memory out of proportion.
#include "recorder/forms/schedule_listing.h"
#include "recorder/schedule/schedule_document.h"
#include "support/recording_message_boxes.h"
#include "support/schedule_text.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <fstream>
#include <random>
#include <sys/resource.h>

using namespace kelbo;
using namespace kelbo::testing;

namespace {

long peakResidentKb() {
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

class BadScheduleFile : public ::testing::Test {
protected:
    BadScheduleFile() : document(settings, messages) {
        settings.ScheduleFile = (dir / "s.txt").string();
        settings.FileString = "/rec/%programme%.mpg";
    }
    void loadAndShow() {
        document.Load_Schedule();
        listing.Display_Schedule();
    }
    TempDir dir;
    LiveSettings settings;
    RecordingMessageBoxes messages;
    ScheduleDocument document;
    NextProgramme next{document, ScheduleDocument::systemClock()};
    ScheduleListing listing{document, next};
};

}  // namespace

TEST_F(BadScheduleFile, RandomBytesAndNulBytes) {
    std::mt19937 random(7);
    std::string bytes(1 << 20, '\0');
    for (char& c : bytes) c = static_cast<char>(random());
    GuideRecord good;
    good.name = std::string("Nul\0Name", 8);
    writeFile(dir / "s.txt", bytes + "\r\n----------BREAK----------\r\n" + good.text() + bytes);
    loadAndShow();
    ASSERT_EQ(listing.list().rowCount(), 1);
    EXPECT_EQ(listing.list().cell(1, Column::Programme), std::string("Nul\0Name", 8));
    EXPECT_TRUE(document.Write_Schedule());
    document.Load_Schedule();
    EXPECT_EQ(document.table()[0].ProgrammeName, std::string("Nul\0Name", 8));
}

TEST_F(BadScheduleFile, HugeFilesTakeBoundedMemory) {
    {
        // 100 MB without a single line break, then 100 MB of short lines.
        std::ofstream out(dir / "s.txt", std::ios::binary);
        const std::string block(1 << 20, 'x');
        for (int i = 0; i < 100; ++i) out << block;
        std::string lines;
        for (int i = 0; i < (1 << 16); ++i) lines += "Category     : y\r\n";
        for (size_t written = 0; written < (100u << 20); written += lines.size()) out << lines;
        GuideRecord last;
        out << "\r\n" << last.text();
    }
    const long before = peakResidentKb();
    loadAndShow();
    EXPECT_EQ(listing.list().rowCount(), 1);
    EXPECT_LT(peakResidentKb() - before, 32 * 1024) << "kB of extra peak memory";
}

TEST_F(BadScheduleFile, AVeryLongLineIsKept) {
    GuideRecord record;
    record.description = std::string(1000 * 1000, 'd');
    writeFile(dir / "s.txt", record.text());
    loadAndShow();
    ASSERT_EQ(listing.list().rowCount(), 1);
    EXPECT_EQ(document.table()[0].Description.size(), 1000u * 1000u);
}
