#include "head_end_channels.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <thread>

namespace kelbo::bench {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

HeadEndChannels::HeadEndChannels(const fs::path& work, const fs::path& clip, int channels) {
    if (!fs::exists(clip)) return;
    const fs::path portFile = work / "port";
    fs::remove(portFile);
    std::vector<std::string> arguments = {"python3", KELBO_HEAD_END, portFile.string()};
    for (int i = 1; i <= channels; ++i) arguments.push_back("ch" + std::to_string(i) + "=" + clip.string());
    std::vector<char*> argv;
    argv.reserve(arguments.size() + 1);
    for (auto& a : arguments) argv.push_back(a.data());
    argv.push_back(nullptr);
    const std::string log = (work / "head_end.log").string();
    pid_ = ::fork();
    if (pid_ == 0) {
        // The channels' ffmpeg complain of the pipe closed at the end.
        const int out = ::open(log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (out >= 0) ::dup2(out, STDERR_FILENO);
        ::execvp(argv[0], argv.data());
        ::_exit(127);
    }
    for (int i = 0; i < 100 && !fs::exists(portFile); ++i) std::this_thread::sleep_for(100ms);
    std::ifstream in(portFile);
    int port = 0;
    if (!(in >> port)) return;
    for (int i = 1; i <= channels; ++i)
        urls_.push_back("http://127.0.0.1:" + std::to_string(port) + "/ch" + std::to_string(i));
    std::this_thread::sleep_for(2s);  // the channels under way, as a head end's are
}

HeadEndChannels::~HeadEndChannels() {
    if (pid_ <= 0) return;
    ::kill(pid_, SIGTERM);
    ::waitpid(pid_, nullptr, 0);
}

}  // namespace kelbo::bench
