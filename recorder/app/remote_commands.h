#pragma once

#include "recorder/schedule/programme.h"

#include <QByteArray>

#include <optional>
#include <string>

namespace kelbo {
class Recorder;
class StatusPanels;
}

namespace kelbo::app {

class SingleInstance;

// Commands to the running recorder, given on the command line (read by
// readCommandLine):
//   kelbo --status [--json]   what the status bar shows
//   kelbo --stop-recording    as the stop button: every recording
//   kelbo --stop-recording ID the recording of one programme
//   kelbo --reload            as "Reload Schedule"
struct RemoteRequest {
    std::string command;  // "status", "stop-recording", "reload"
    bool json = false;
    std::optional<ProgrammeId> programme;  // of stop-recording; none for all
    // As sent to the recorder: "stop-recording 12".
    std::string line() const {
        return programme ? command + " " + std::to_string(*programme) : command;
    }
};

// The recorder's side: one JSON object per request.
QByteArray answerRemoteRequest(Recorder& recorder, const StatusPanels& panels, const QByteArray& request);

// The sender's side: prints the answer; the program's exit status (1 when
// no recorder answers or it could not do as asked).
int sendRemoteRequest(const SingleInstance& instance, const RemoteRequest& request);

}  // namespace kelbo::app
