#pragma once

#include <optional>
#include <string>

namespace kelbo {

struct DeviceOptions {
    // Folder standing for the device's registry key; empty: the per-user
    // default (template_install.h).
    std::string registryKey;
    // Replaces the pipeline built from the source (elements named as in
    // pipeline_description.h).
    std::optional<std::string> pipelineDescription;
    int previewWidth = 320;
    int previewHeight = 240;
    // A loudspeaker branch that MuteAudio silences.
    bool audioMonitor = true;
    // The preview branch runs whenever the device previews, with or without
    // a preview sink (the window sets its sink after the device is made).
    // False: only while a sink takes the pictures, so a tuner nobody watches
    // spends nothing on them.
    bool previewWithoutSink = true;
};

}  // namespace kelbo
