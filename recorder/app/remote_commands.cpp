#include "remote_commands.h"

#include "single_instance.h"
#include "recorder/ports/log.h"
#include "recorder/engine/recorder.h"

#include <nlohmann/json.hpp>

#include <iostream>

namespace kelbo::app {

namespace {
using nlohmann::json;

json statusJson(const RecorderStatus& s) {
    return {{"state", s.state},     {"programme", s.programme}, {"counter", s.counter},
            {"split", s.split},     {"recorded", s.recorded}, {"progress", s.progress},   {"recording", s.recording},
            {"file", s.currentFile}};
}

void printStatus(const json& s) {
    const auto line = [&s](const char* label, const char* key) {
        const std::string text = s.value(key, "");
        if (!text.empty()) std::cout << label << text << '\n';
    };
    line("State:     ", "state");
    line("Programme: ", "programme");
    line("Counter:   ", "counter");
    line("Split:     ", "split");
    line("Recorded:  ", "recorded");
    if (s.value("recording", false)) std::cout << "Progress:  " << s.value("progress", 0) << " %\n";
    line("File:      ", "file");
}
}  // namespace

QByteArray answerRemoteRequest(Recorder& recorder, const QByteArray& request) {
    json reply;
    if (request == "status") {
        reply = statusJson(recorder.currentStatus());
    } else if (request == "stop-recording") {
        log::info("Stop requested from the command line");
        reply = {{"stopped", recorder.stopRecording()}};
    } else if (request == "reload") {
        log::info("Reload requested from the command line");
        reply = {{"reloaded", recorder.ReloadSchedule_Click()}};
    } else {
        reply = {{"error", "unknown request: " + request.toStdString()}};
    }
    return QByteArray::fromStdString(reply.dump());
}

int sendRemoteRequest(const SingleInstance& instance, const RemoteRequest& request) {
    const std::optional<QByteArray> answer = instance.ask(QByteArray::fromStdString(request.command));
    if (!answer) {
        std::cerr << "kelbo: no Kelbo recorder is running for this user.\n";
        return 1;
    }
    const json reply = json::parse(answer->toStdString(), nullptr, false);
    if (reply.is_discarded() || !reply.is_object() || reply.contains("error")) {
        std::cerr << "kelbo: the recorder did not understand: "
                  << (reply.is_object() ? reply.value("error", "") : answer->toStdString()) << '\n';
        return 1;
    }
    if (request.command == "status") {
        if (request.json) std::cout << reply.dump(2) << '\n';
        else printStatus(reply);
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
