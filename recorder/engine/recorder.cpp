#include "recorder.h"

#include "recorder/device/capture_device.h"
#include "recorder/ports/log.h"
#include "part_recovery.h"
#include "recorder/schedule/setting_values.h"

#include <algorithm>
#include <filesystem>

namespace kelbo {

// Tells the program when a tuner other than the first takes or leaves a
// programme, so that the list shows every recording.
class Recorder::TunerChoices : public NextProgrammeObserver {
public:
    explicit TunerChoices(const Recorder& recorder) : recorder_(recorder) {}
    void nextChosen(const NextProgramme&) override { tell(); }
    void nextMoved(const NextProgramme&, ProgrammeId) override { tell(); }
    void tell() const {
        if (recorder_.otherTunersChanged_) recorder_.otherTunersChanged_();
    }

private:
    const Recorder& recorder_;
};

Recorder::Recorder(RecorderPorts ports)
    : ports_(ports),
      document_(settings_, ports.messages, ports.clock),
      choices_(std::make_unique<TunerChoices>(*this)),
      livePreview_(ports.device, ports.messages) {
    tuners_.push_back(std::make_unique<Tuner>(1, services(), ports.device));
    Tuner& one = first();
    one.next().setChoosingListener([this] { ports_.view.nothingChosen(); });
    one.next().setTakenElsewhere([this](ProgrammeId id) { return takenByOthers(first(), id); });
    // The clashes count the tuners there are, when fewer could be opened
    // than the setting asks.
    one.next().setTunerCount([this] { return opener_ ? std::min(settings_.Tuners, tunerCount()) : settings_.Tuners; });
    listenTo(one);
}

Recorder::~Recorder() = default;

TunerServices Recorder::services() {
    return TunerServices{document_, settings_, ports_.clock, ports_.view, ports_.messages, *this,
                         [this] { return tunerCount(); }};
}

void Recorder::listenTo(Tuner& tuner) {
    tuner.device().setStateListener([&tuner] {
        RecordingSession& session = tuner.session();
        session.resolvePendingStart();
        // A recording the device has just ended by itself is finished at
        // once, and a programme due back to back starts now, rather than
        // at the next tick up to 400 ms on.
        if (!tuner.recording() && !session.startPending()) tuner.tick().Timer1_Timer();
        if (tuner.recording()) tuner.tick().showRecordingBegun();
    });
}

bool Recorder::takenByOthers(const Tuner& tuner, ProgrammeId id) const {
    return std::any_of(tuners_.begin(), tuners_.end(),
                       [&](const auto& other) { return other.get() != &tuner && other->taken() == id; });
}

void Recorder::addTuner(std::unique_ptr<CaptureDevice> device) {
    CaptureDevice& d = *device;
    auto tuner = std::make_unique<Tuner>(tunerCount() + 1, services(), d, std::move(device));
    Tuner& t = *tuner;
    t.next().setTakenElsewhere([this, &t](ProgrammeId id) { return takenByOthers(t, id); });
    t.next().followClashesOf(first().next());
    t.next().addObserver(choices_.get());
    tuners_.push_back(std::move(tuner));
    listenTo(t);
    log::info(log::Area::Recording, "Tuner " + std::to_string(t.number()) + " is ready");
}

void Recorder::setTunerOpener(TunerOpener opener) {
    opener_ = std::move(opener);
    openedFor_ = 1;
    matchTuners();
}

// Tuners are opened when the setting grows and closed from the last once
// they are free; a setting the opener could not meet is not asked again.
void Recorder::matchTuners() {
    const int wanted = std::clamp(settings_.Tuners, kFewestTuners, kMostTuners);
    bool closed = false;
    while (tunerCount() > wanted && !tuners_.back()->busy()) {
        if (previewTuner_ == tunerCount()) choosePreviewTuner(1);
        log::info(log::Area::Recording, "Tuner " + std::to_string(tunerCount()) + " is closed");
        tuners_.pop_back();
        closed = true;
    }
    if (closed) choices_->tell();
    if (!opener_ || wanted == openedFor_) return;
    openedFor_ = wanted;
    while (tunerCount() < wanted) {
        auto device = opener_(tunerCount() + 1);
        if (!device) {
            log::warn(log::Area::Recording, std::to_string(wanted) + " tuners set, but tuner " +
                                                std::to_string(tunerCount() + 1) + " cannot be opened: recording with " +
                                                std::to_string(tunerCount()));
            break;
        }
        addTuner(std::move(device));
    }
}

std::vector<ProgrammeId> Recorder::otherTunersProgrammes() const {
    std::vector<ProgrammeId> ids;
    for (std::size_t i = 1; i < tuners_.size(); ++i)
        if (const ProgrammeId id = tuners_[i]->taken()) ids.push_back(id);
    return ids;
}

bool Recorder::othersCapturing(int tuner) const {
    return std::any_of(tuners_.begin(), tuners_.end(), [tuner](const auto& t) {
        return t->number() != tuner && (t->view().capturing() || t->recording());
    });
}

// Tuner 1 ticks last: what it leaves is drawn with every tuner's state.
void Recorder::tickOthers() {
    for (std::size_t i = 1; i < tuners_.size(); ++i) tuners_[i]->tick().Timer1_Timer();
}

void Recorder::Timer1_Timer() {
    matchTuners();
    tickOthers();
    first().tick().Timer1_Timer();
}

void Recorder::IsLivePreview_Click() { livePreview_.IsLivePreview_Click(); }

void Recorder::choosePreviewTuner(int number) {
    if (number < 1 || number > tunerCount() || number == previewTuner_) return;
    CaptureDevice& from = tunerDevice(previewTuner_);
    CaptureDevice& to = tunerDevice(number);
    const auto previewing = [](const CaptureDevice& d) {
        return d.ReadyState() == CaptureDevice::Previewing || d.ReadyState() == CaptureDevice::StreamReady;
    };
    if (previewing(from)) from.StopPreview();
    previewTuner_ = number;
    livePreview_.setDevice(to);
    if (previewMoved_) previewMoved_(from, to);
    log::info(log::Area::Device, "The live preview shows tuner " + std::to_string(number));
    // A tuner that records shows its recording; an idle one is started
    // when the live preview is wanted.
    if (livePreview_.isTicked() && to.ReadyState() != CaptureDevice::Recording && !previewing(to)) {
        to.PrepareDevice();
        to.StartPreview();
    }
}

bool Recorder::livePreviewTicked() const { return livePreview_.isTicked(); }

bool Recorder::recording() const {
    return std::any_of(tuners_.begin(), tuners_.end(), [](const auto& t) { return t->recording(); });
}

void Recorder::reloadSchedule() {
    matchTuners();
    document_.Load_Schedule();
    document_.schedule().listAll();
    next().Find_Next_Schedule();
    log::info(log::Area::Schedule, "Schedule loaded from " + document_.scheduleFilePath().string() + ": " +
              std::to_string(document_.schedule().listedCount()) + " programmes listed");
}

void Recorder::Timer2_Timer() {
    // A change not yet written waits for the lock; a reload would lose it,
    // and the rewrite takes in whatever changed in the file meanwhile.
    if (document_.writePending()) {
        document_.retryPendingWrite(true);
        return;
    }
    if (!settings_.AutoLoadSchedule || (recording() && tunerCount() == 1)) return;
    const std::filesystem::path file = document_.scheduleFilePath();
    std::error_code ec;
    if (!std::filesystem::is_regular_file(file, ec)) return;
    if (stampOf(file) == document_.ScheduleFileDate()) return;
    if (recording()) {
        log::info(log::Area::Schedule, "Schedule file changed by another program during a recording; taking the changes in");
        takeInOutsideChanges();
        return;
    }
    log::info(log::Area::Schedule, "Schedule file changed by another program; reloading");
    reloadSchedule();
}

// With several tuners a recording does not keep the file's changes out: the
// rewrite merges them (each recording's own record held until it ends), so
// that an idle tuner records what was added meanwhile.
void Recorder::takeInOutsideChanges() {
    if (!document_.Write_Schedule() || !document_.takeOutsideChanges()) return;
    for (const auto& tuner : tuners_) {
        if (!tuner->busy()) tuner->next().Find_Next_Schedule();
        else if (tuner.get() == &first()) first().next().findClashesKeepingChoice();
    }
}

bool Recorder::ReloadSchedule_Click() {
    if (recording() && tunerCount() > 1) {
        log::info(log::Area::Schedule, "Reload Schedule during a recording: taking in the file's changes");
        takeInOutsideChanges();
        return true;
    }
    if (recording()) {
        log::info(log::Area::Schedule, "Reload Schedule refused: a recording is in progress");
        return false;
    }
    log::info(log::Area::Schedule, "Reload Schedule");
    reloadSchedule();
    return true;
}

bool Recorder::stopRecording() {
    if (!recording()) return false;
    // The others first: tuner 1 then moves on past every programme stopped.
    for (auto it = tuners_.rbegin(); it != tuners_.rend(); ++it) (*it)->session().Stop_Recording();
    return true;
}

bool Recorder::stopRecording(ProgrammeId id) {
    for (const auto& tuner : tuners_) {
        if (id == 0 || tuner->taken() != id || !tuner->recording()) continue;
        tuner->session().Stop_Recording();
        return true;
    }
    return false;
}

std::string_view deviceStateName(RecorderState::Device device) {
    switch (device) {
    case RecorderState::Device::Idle: return "idle";
    case RecorderState::Device::Previewing: return "previewing";
    case RecorderState::Device::StreamReady: return "streamReady";
    case RecorderState::Device::Recording: return "recording";
    case RecorderState::Device::Other: break;
    }
    return "other";
}

RecorderState Recorder::state() const { return withOtherTuners(first().tick().state()); }

RecorderState Recorder::withOtherTuners(RecorderState s) const {
    s.tuners = tunerCount();
    for (const auto& tuner : tuners_) {
        const RecorderState own = tuner.get() == &first() ? s : tuner->tick().state();
        if (!own.recording) continue;
        s.recordings.push_back(*own.recording);
        s.recordings.back().tuner = tuner->number();
    }
    std::stable_sort(s.recordings.begin(), s.recordings.end(),
                     [](const auto& a, const auto& b) { return a.bufferedEnd < b.bufferedEnd; });
    if (!s.recordings.empty()) {
        s.recording = s.recordings.front();
        s.device = RecorderState::Device::Recording;
    }
    return s;
}

void Recorder::recoverInterruptedRecordings() { recoverLeftoverParts(document_); }

void Recorder::shutDown() {
    for (const auto& tuner : tuners_) {
        tuner->session().shutDown();
        tuner->device().setStateListener(nullptr);
    }
}

}  // namespace kelbo
