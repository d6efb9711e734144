// A rewrite of the schedule file keeps what another program changed in it:
// before the rewrite, while the recorder records, and while the new file is
// being written.
#include "common/file_lock.h"
#include "schedule_document_rig.h"

#include <chrono>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace kelbo;
using namespace kelbo::testing;

// The user edits the file in a text editor while the recorder holds it: a
// rewrite of the recorder's own (a detail-pane change) keeps every outside
// edit, and the list shows them at once.
TEST_F(ScheduleDocumentTest, ARewriteKeepsWhatWasChangedRemovedAndAddedOutside) {
    GuideRecord mine = record("Mine", "10-12-2026", "18:00");
    GuideRecord longer = record("Longer", "10-12-2026", "19:00", "102");
    GuideRecord gone = record("Gone", "10-12-2026", "20:00", "103");
    load(mine.text() + longer.text() + gone.text());

    longer.duration = "45";
    longer.description = "Now with the news";
    GuideRecord added = record("Новое", "11-12-2026", "07:00", "104");
    writeFile(file(), mine.text() + longer.text() + added.text());
    document.table()[0].EndBuffer = "10";  // the detail pane, before it writes
    ASSERT_TRUE(document.Write_Schedule());

    const std::string text = readFile(file());
    EXPECT_EQ(names(text), (std::vector<std::string>{"Mine", "Longer", "Новое"}));
    const auto items = acceptedItems(text);
    EXPECT_EQ(find(items, "Mine")->EndBuffer, "10");
    EXPECT_EQ(find(items, "Longer")->Duration, "45");
    EXPECT_EQ(find(items, "Longer")->Description, "Now with the news");
    ASSERT_EQ(listing.list().rowCount(), 3);
    EXPECT_EQ(cell(2, Column::Programme), "Longer");
    EXPECT_EQ(cell(2, Column::Duration), "45");
    EXPECT_EQ(cell(3, Column::Programme), "Новое");
    EXPECT_TRUE(document.takeOutsideChanges()) << "the next programme is chosen again";
    EXPECT_FALSE(document.takeOutsideChanges());

    // The next rewrite, with nothing changed outside, changes nothing back.
    ASSERT_TRUE(document.Write_Schedule());
    EXPECT_EQ(readFile(file()), text);
    EXPECT_FALSE(document.takeOutsideChanges());
}

// Each side's fields win where only that side changed them; where both
// changed one field, the recorder's value stays.
TEST_F(ScheduleDocumentTest, FieldsChangedOnBothSidesKeepTheRecordersValue) {
    GuideRecord show = record("Show", "10-12-2026", "18:00");
    load(show.text());
    document.table()[0].EndBuffer = "10";
    document.table()[0].Complete = "Recorded";
    show.category = "Drama";
    writeFile(file(), show.text().insert(show.text().find("----------BREAK"), "EndBuffer    : 3\r\n"));
    ASSERT_TRUE(document.Write_Schedule());
    const auto items = acceptedItems(readFile(file()));
    ASSERT_EQ(items.size(), 1u);
    EXPECT_EQ(items[0].EndBuffer, "10");
    EXPECT_EQ(items[0].Complete, "Recorded");
    EXPECT_EQ(items[0].Category, "Drama");
}

// The record being recorded keeps its own times and name until the
// recording ends; the file holds the outside change meanwhile.
TEST_F(ScheduleDocumentTest, TheRecordBeingRecordedTakesAnOutsideChangeWhenTheRecordingEnds) {
    GuideRecord now = record("Now", "08-12-2026", "11:30");
    GuideRecord next = record("Next", "08-12-2026", "14:00", "102");
    load(now.text() + next.text());
    document.holdWhileRecording(0);
    document.table()[0].Complete = "Failed";  // as a start marks it
    ASSERT_TRUE(document.Write_Schedule());

    // The user lengthens it in an editor: the file holds the recorder's
    // form, with its "Complete" line.
    std::string text = readFile(file());
    text.replace(text.find("Duration     : 30"), 17, "Duration     : 90");
    writeFile(file(), text);
    ASSERT_TRUE(document.Write_Schedule());
    EXPECT_EQ(find(acceptedItems(readFile(file())), "Now")->Duration, "90") << "the file keeps the change";
    EXPECT_EQ(find(acceptedItems(readFile(file())), "Now")->Complete, "Failed");
    EXPECT_EQ(document.table()[0].Duration, "30") << "still recording under its own times";
    EXPECT_EQ(cell(1, Column::Duration), "30");

    document.table()[0].Complete = "Recorded";
    ASSERT_TRUE(document.releaseHeld());
    EXPECT_EQ(document.table()[0].Duration, "90");
    EXPECT_EQ(cell(1, Column::Duration), "90");
    ASSERT_TRUE(document.Write_Schedule());
    const auto items = acceptedItems(readFile(file()));
    EXPECT_EQ(find(items, "Now")->Duration, "90");
    EXPECT_EQ(find(items, "Now")->Complete, "Recorded");

    // Removed outside while recording: it records on, then leaves.
    document.holdWhileRecording(1);
    text = readFile(file());
    writeFile(file(), text.substr(0, text.find("ProgrammeName: Next")));
    ASSERT_TRUE(document.Write_Schedule());
    EXPECT_EQ(names(readFile(file())), std::vector<std::string>{"Now"});
    EXPECT_EQ(document.table()[1].ProgrammeName, "Next");
    ASSERT_TRUE(document.releaseHeld());
    EXPECT_FALSE(document.table()[1].inUse());
    EXPECT_EQ(listing.list().rowCount(), 1);
    ASSERT_TRUE(document.Write_Schedule());
    EXPECT_EQ(names(readFile(file())), std::vector<std::string>{"Now"});
}

// Another program of the user (or a stuck one) holds the schedule's lock:
// the recorder keeps its change, goes on at once, and writes it later.
TEST_F(ScheduleDocumentTest, AHeldLockDefersTheWriteWithoutWaiting) {
    load(record("Show", "10-12-2026", "18:00").text());
    const std::string lockFile = FileLock::lockPathFor(file().string());
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    int release[2];
    ASSERT_EQ(::pipe(release), 0);
    const pid_t child = ::fork();
    if (child == 0) {
        const int fd = ::open(lockFile.c_str(), O_RDWR | O_CREAT, 0600);
        ::flock(fd, LOCK_EX);
        char c = 1;
        (void)!::write(ready[1], &c, 1);
        (void)!::read(release[0], &c, 1);
        ::_exit(0);
    }
    char c;
    ASSERT_EQ(::read(ready[0], &c, 1), 1);

    const std::string before = readFile(file());
    document.table()[0].EndBuffer = "10";
    const auto started = std::chrono::steady_clock::now();
    EXPECT_TRUE(document.Write_Schedule());
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::milliseconds(200));
    EXPECT_TRUE(document.writePending());
    EXPECT_EQ(readFile(file()), before);
    EXPECT_TRUE(messages.shown.empty()) << "nothing went wrong yet";

    document.retryPendingWrite(false);
    EXPECT_TRUE(document.writePending());
    (void)!::write(release[1], &c, 1);
    ::waitpid(child, nullptr, 0);
    document.retryPendingWrite(false);
    EXPECT_FALSE(document.writePending());
    EXPECT_NE(readFile(file()).find("EndBuffer    : 10"), std::string::npos);
}

// The user saves the file in an editor (which takes no lock) just as the
// recorder writes its own change: the rename would drop the save, so the
// rewrite finds it and merges again (even twice in one rewrite); a file
// saved at every attempt is written later, as under a held lock.
TEST_F(ScheduleDocumentTest, AnEditorsSaveDuringTheRewriteIsTakenIn) {
    struct Case {
        const char* what;
        std::string before, during;  // "Plot" becomes `before` ahead of the rewrite, then `during`
        bool renameOver;  // a new file renamed over the old, with its time (and here its size)
        const char* added;  // a programme added ahead of the rewrite and one during, numbered
        bool everyAttempt = false;
    };
    for (const Case& c : {Case{"written in place", "Plot", "Plot, revised", false, ""},
                          Case{"renamed over, same size and time", "Plot", "Plat", true, ""},
                          Case{"changed ahead and again during", "First", "Second", false, ""},
                          Case{"added ahead and during", "Plot", "Plot", false, "Extra"},
                          Case{"saved at every attempt", "Plot", "Plot, again", false, "", true}}) {
        SCOPED_TRACE(c.what);
        GuideRecord show = record("Show", "10-12-2026", "18:00");
        show.description = "Plot";
        load(show.text() + record("News", "10-12-2026", "19:00", "102").text());
        show.description = c.before;
        const std::string extra1 = *c.added ? record(c.added + std::string("1"), "11-12-2026", "07:00", "103").text() : "";
        writeFile(file(), show.text() + record("News", "10-12-2026", "19:00", "102").text() + extra1);
        int saves = 0;
        document.beforeReplacing([&] {
            if (saves++ > 0 && !c.everyAttempt) return;
            struct stat old {};
            ::stat(file().c_str(), &old);
            const size_t showBefore = show.text().size();
            show.description = c.during;
            const std::filesystem::path saved = c.renameOver ? dir / "saved~" : file();
            writeFile(saved, readFile(file()).replace(0, showBefore, show.text()) +
                                 (*c.added ? record(c.added + std::string("2"), "11-12-2026", "08:00", "104").text() : ""));
            if (!c.renameOver) return;
            const timespec times[2] = {old.st_atim, old.st_mtim};
            ::utimensat(AT_FDCWD, saved.c_str(), times, 0);
            std::filesystem::rename(saved, file());
        });
        document.table()[1].EndBuffer = "10";  // the recorder's own change
        ASSERT_TRUE(document.Write_Schedule());
        document.beforeReplacing(nullptr);
        EXPECT_EQ(document.writePending(), c.everyAttempt);
        EXPECT_EQ(find(acceptedItems(readFile(file())), "Show")->Description, c.during) << "no save written over";
        document.retryPendingWrite(false);
        const auto items = acceptedItems(readFile(file()));
        ASSERT_TRUE(find(items, "Show") && find(items, "News"));
        EXPECT_EQ(find(items, "Show")->Description, c.during);
        EXPECT_EQ(find(items, "News")->EndBuffer, "10");
        EXPECT_EQ(items.size(), *c.added ? 4u : 2u) << "each once";
        EXPECT_EQ(listing.list().rowCount(), static_cast<int>(items.size()));
    }
}
