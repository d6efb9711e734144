#include "recorder_rig.h"
#include "recorder_home.h"

namespace kelbo::testing {

namespace {
RecorderContext contextOf(RecorderRig& r) {
    return RecorderContext{r.document, r.next, r.status, r.device, r.settings, r.clock, r.messages};
}
}  // namespace

RecorderRig::RecorderRig(DateTime start)
    : clock(toInstant(start)),
      document(settings, messages, clock),
      next(document, clock),
      listing(document, next),
      status(statusBar, window, tray),
      session(contextOf(*this)),
      tick_(contextOf(*this), session) {
    next.setChoosingListener([this] { status.nothingChosen(); });
    settings.ScheduleFile = (dir / "KelboSchedule.txt").string();
    settings.FileString = (dir / "movies" / "%programme%-%starttime%.mpg").string();
    settings.Template = "DVD";
}

void RecorderRig::loadSchedule(const std::string& text) {
    writeFile(dir / "KelboSchedule.txt", text);
    document.Load_Schedule();
    listing.Display_Schedule(listing.NextRow());
    next.Find_Next_Schedule();
}

void RecorderRig::loadProgrammes(const std::vector<GuideRecord>& records) {
    std::string text;
    for (const auto& r : records) text += r.text();
    loadSchedule(text);
}

void RecorderRig::setBuffers(int slot, const std::string& start, const std::string& end) {
    document.table()[slot].StartBuffer = start;
    document.table()[slot].EndBuffer = end;
    listing.Display_Schedule();
    next.Find_Next_Schedule();
}

void RecorderRig::run(std::chrono::milliseconds span, std::chrono::milliseconds step) {
    for (auto done = std::chrono::milliseconds(0); done < span; done += step) {
        clock.advance(step);
        device.advance(step.count());
        tick();
    }
}

std::string RecorderRig::scheduleText() const { return readFile(dir / "KelboSchedule.txt"); }

GuideRecord programme(const std::string& name, DateTime start, int minutes,
                      const std::string& channelNumber) {
    GuideRecord r = recordAt(name, start, minutes);
    r.channelNumber = channelNumber;
    r.channelName = "Channel" + channelNumber;
    return r;
}

}  // namespace kelbo::testing
