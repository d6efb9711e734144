#pragma once

#include "capture_source.h"
#include "gst_capture_device.h"

#include <memory>
#include <string>
#include <vector>

namespace kelbo {

class MessageBoxes;
class SettingsStore;
class UiDispatcher;

inline constexpr int kMostTuners = 8;

// What each tuner records from, tuner 1 first, for `tuners` tuners (1 to
// 8): the test pattern, a media file and a network stream give every tuner
// the same source (a stream's tuners are then tuned one by one). A capture
// card is one tuner: the card chosen comes first, then the other `cards`
// (the capture cards found) in device order, at most `tuners` in all, so
// fewer cards give fewer tuners.
std::vector<CaptureSource> tunerSources(const CaptureSource& source, int tuners,
                                        const std::vector<std::string>& cards);

// The capture devices of the tuners, tuner 1 first, on the sources above
// (the capture cards found among /dev/video*). Tuner 1 is exactly the
// device createCaptureDevice makes, and shows the error box when it cannot
// be made (then nothing is returned). The others have no loudspeaker and
// make preview pictures only while a preview sink is set; one that cannot
// be made ends the list there, and the log says so.
std::vector<std::unique_ptr<GstCaptureDevice>> createTunerDevices(const CaptureSource& source,
                                                                  UiDispatcher& dispatcher,
                                                                  MessageBoxes& boxes, int tuners,
                                                                  const DeviceOptions& options = {});

// The device of tuner `number` (2 to 8) alone, as createTunerDevices makes
// it; nothing when there is no such tuner (fewer capture cards) or it
// cannot be made (the log says why).
std::unique_ptr<GstCaptureDevice> createOtherTuner(const CaptureSource& source, UiDispatcher& dispatcher,
                                                   int number, const DeviceOptions& options = {});

// The same, with the source named by the settings (CaptureSource).
std::vector<std::unique_ptr<GstCaptureDevice>> createTunerDevices(const SettingsStore& settings,
                                                                  UiDispatcher& dispatcher,
                                                                  MessageBoxes& boxes, int tuners,
                                                                  const DeviceOptions& options = {});

}  // namespace kelbo
