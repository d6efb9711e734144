#include "remote_commands.h"

#include "command_request.h"
#include "single_instance.h"
#include "common/iso_time.h"
#include "common/text_util.h"
#include "recorder/ports/log.h"
#include "recorder/engine/recorder.h"
#include "recorder/engine/status_texts.h"
#include "recorder/forms/status_panels.h"

#include <QCoreApplication>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <iostream>

namespace kelbo::app {

namespace {
using nlohmann::json;

// The status bar's texts as before, then the same in values: the device's
// state, the next programme and the recording in progress (null for none).
json statusJson(const RecorderStatus& s, const RecorderState& state) {
    json reply = {{"state", s.state},     {"programme", s.programme}, {"counter", s.counter},
                  {"split", s.split},     {"recorded", s.recorded},   {"progress", s.progress},
                  {"recording", s.recording}, {"file", s.currentFile}};
    reply["deviceState"] = deviceStateName(state.device);
    reply["next"] = nullptr;
    if (const auto& next = state.next)
        reply["next"] = {{"id", next->id},
                         {"name", next->name},
                         {"channel", next->channel},
                         {"start", isoLocalTime(next->bufferedStart)},
                         {"end", isoLocalTime(next->bufferedEnd)},
                         {"secondsToGo", next->toGo.count()}};
    reply["recordingNow"] = nullptr;
    if (const auto& recording = state.recording)
        reply["recordingNow"] = {{"id", recording->id},
                                 {"name", recording->name},
                                 {"file", recording->file},
                                 {"elapsedSeconds", recording->elapsedMs / 1000},
                                 {"limitSeconds", recording->limitMs / 1000},
                                 {"progress", std::min(recording->progress, 100)}};
    reply["recordings"] = json::array();
    for (const RecorderState::Recording& r : state.recordings)
        reply["recordings"].push_back({{"id", r.id},
                                       {"tuner", r.tuner},
                                       {"name", r.name},
                                       {"channel", r.channel},
                                       {"file", r.file},
                                       {"elapsedMs", r.elapsedMs},
                                       {"limitMs", r.limitMs},
                                       {"progress", std::min(r.progress, 100)},
                                       {"ends", isoLocalTime(r.bufferedEnd)},
                                       {"msToEnd", std::max<std::int64_t>(0, r.limitMs - r.elapsedMs)}});
    return reply;
}

// One line for each recording, when more than one records.
void printRecordings(const json& s) {
    const json& all = s.value("recordings", json::array());
    if (!all.is_array() || all.size() < 2) return;
    for (const json& r : all) {
        if (!r.is_object()) continue;
        std::cout << "Tuner " << r.value("tuner", 0) << ":" << std::string(r.value("tuner", 0) < 10 ? 3 : 2, ' ')
                  << escapeControls(r.value("name", "")) << " on " << escapeControls(r.value("channel", ""))
                  << " ends in " << hoursMinutesSeconds(r.value("msToEnd", std::int64_t{0})) << " (id "
                  << r.value("id", 0) << ")\n";
    }
}

// The recording stopped, by the id asked for; nothing when none records it.
json stopOne(Recorder& recorder, ProgrammeId id) {
    json reply = {{"stopped", false}, {"id", id}};
    const RecorderState state = recorder.state();
    const auto it = std::find_if(state.recordings.begin(), state.recordings.end(),
                                 [id](const RecorderState::Recording& r) { return r.id == id; });
    if (it == state.recordings.end() || !recorder.stopRecording(id)) return reply;
    reply["stopped"] = true;
    reply["name"] = it->name;
    reply["channel"] = it->channel;
    reply["tuner"] = it->tuner;
    return reply;
}

// Why no answer came, or null for an answer. A recorder too busy or too
// slow to answer is still recording: it is never said to be gone.
const char* unanswered(SingleInstance::Answer::Outcome outcome) {
    using Outcome = SingleInstance::Answer::Outcome;
    switch (outcome) {
    case Outcome::NoRecorder:
        return QT_TRANSLATE_NOOP("RemoteCommands", "no Kelbo recorder is running for this user.");
    case Outcome::Busy:
        return QT_TRANSLATE_NOOP("RemoteCommands",
                                 "the Kelbo recorder is busy with other commands; try again in a moment.");
    case Outcome::Silent:
        return QT_TRANSLATE_NOOP("RemoteCommands", "the Kelbo recorder is running but did not answer.");
    case Outcome::Answered:
    case Outcome::Untrusted: break;
    }
    return nullptr;
}

void printStatus(const json& s) {
    const auto line = [&s](const char* label, const char* key) {
        // Programme names come from guide text: an escape sequence in one
        // must not reach the terminal.
        const std::string text = s.value(key, "");
        if (!text.empty()) std::cout << label << escapeControls(text) << '\n';
    };
    line("State:     ", "state");
    line("Programme: ", "programme");
    line("Counter:   ", "counter");
    line("Split:     ", "split");
    line("Recorded:  ", "recorded");
    if (s.value("recording", false)) std::cout << "Progress:  " << s.value("progress", 0) << " %\n";
    line("File:      ", "file");
    printRecordings(s);
}
}  // namespace

QByteArray answerRemoteRequest(Recorder& recorder, const StatusPanels& panels, const QByteArray& request) {
    const CommandRequest command = readCommand(std::string_view(request.constData(), static_cast<size_t>(request.size())));
    json reply;
    switch (command.command) {
    case Command::Status: {
        const RecorderState state = recorder.state();
        reply = statusJson(panels.report(state), state);
        break;
    }
    case Command::StopRecording:
        if (command.programme) {
            log::info(log::Area::Commands,
                      "Stop of programme " + std::to_string(*command.programme) + " requested from the command line");
            reply = stopOne(recorder, *command.programme);
            break;
        }
        log::info(log::Area::Commands, "Stop requested from the command line");
        reply = {{"stopped", recorder.stopRecording()}};
        break;
    case Command::Reload:
        log::info(log::Area::Commands, "Reload requested from the command line");
        reply = {{"reloaded", recorder.ReloadSchedule_Click()}};
        break;
    default:
        return QByteArray::fromStdString(errorReply("unknown request: " + command.shown));
    }
    return QByteArray::fromStdString(dumpReply(reply));
}

int sendRemoteRequest(const SingleInstance& instance, const RemoteRequest& request) {
    const SingleInstance::Answer answer = instance.ask(QByteArray::fromStdString(request.line()));
    if (answer.outcome == SingleInstance::Answer::Outcome::Untrusted) {
        std::cerr << "kelbo: not sent: " << escapeControls(answer.why.toStdString()) << ".\n";
        return 1;
    }
    if (const char* why = unanswered(answer.outcome)) {
        std::cerr << "kelbo: " << QCoreApplication::translate("RemoteCommands", why).toStdString() << '\n';
        return 1;
    }
    const json reply = json::parse(answer.reply.toStdString(), nullptr, false);
    if (reply.is_discarded() || !reply.is_object() || reply.contains("error")) {
        const std::string why = reply.is_object() && reply.contains("error") && reply["error"].is_string()
            ? reply["error"].get<std::string>()
            : answer.reply.toStdString();
        std::cerr << "kelbo: the recorder did not understand: " << escapeControls(why) << '\n';
        return 1;
    }
    if (request.command == "status") {
        if (request.json) std::cout << reply.dump(2, ' ', false, json::error_handler_t::replace) << '\n';
        else printStatus(reply);
        return 0;
    }
    if (request.command == "stop-recording" && request.programme) {
        if (!reply.value("stopped", false)) {
            std::cerr << "kelbo: no tuner records programme " << *request.programme << "; nothing stopped.\n";
            return 1;
        }
        std::cout << "Recording of " << escapeControls(reply.value("name", "")) << " on "
                  << escapeControls(reply.value("channel", "")) << " (id " << *request.programme << ", tuner "
                  << reply.value("tuner", 0) << ") stopped.\n";
        return 0;
    }
    if (request.command == "stop-recording") {
        std::cout << (reply.value("stopped", false) ? "Recording stopped.\n"
                                                    : "Kelbo is not recording; nothing to stop.\n");
        return 0;
    }
    if (reply.value("reloaded", false)) {
        std::cout << "Schedule reloaded.\n";
        return 0;
    }
    std::cerr << "kelbo: the schedule is not reloaded while a recording is in progress.\n";
    return 1;
}

}  // namespace kelbo::app
