#include "tuner.h"

#include "recorder/device/capture_device.h"

namespace kelbo {

Tuner::Tuner(int number, const TunerServices& services, CaptureDevice& device, std::unique_ptr<CaptureDevice> owned)
    : number_(number),
      owned_(std::move(owned)),
      device_(device),
      next_(services.document, services.clock,
            number == 1 ? NextProgramme::Choice::FirstToCome : NextProgramme::Choice::DueNow),
      view_(services.view, services.crowd, number),
      messages_(services.messages, number, services.tunerCount),
      document_(services.document),
      settings_(services.settings),
      clock_(services.clock),
      session_(context()),
      tick_(context(), session_, number == 1 ? SchedulerTick::Role::Leads : SchedulerTick::Role::TakesDue) {
    next_.setLookAhead(device.openingLead());
}

Tuner::~Tuner() { device_.setStateListener(nullptr); }

RecorderContext Tuner::context() {
    return RecorderContext{document_, next_, view_, device_, settings_, clock_, messages_};
}

bool Tuner::recording() const { return device_.ReadyState() == CaptureDevice::Recording; }

bool Tuner::busy() const { return recording() || session_.startPending() || session_.capturing(); }

}  // namespace kelbo
