#include "v4l2_devices.h"

#include "recorder/device/capture_device.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <linux/videodev2.h>
#include <string_view>
#include <sys/ioctl.h>
#include <unistd.h>

namespace kelbo {

namespace fs = std::filesystem;

namespace {

class DeviceFd {
public:
    explicit DeviceFd(const std::string& path) : fd_(::open(path.c_str(), O_RDWR | O_NONBLOCK)) {}
    ~DeviceFd() {
        if (fd_ >= 0) ::close(fd_);
    }
    DeviceFd(const DeviceFd&) = delete;
    DeviceFd& operator=(const DeviceFd&) = delete;
    int get() const { return fd_; }

private:
    int fd_;
};

int xioctl(int fd, unsigned long request, void* arg) {
    int rc;
    do rc = ::ioctl(fd, request, arg);
    while (rc < 0 && errno == EINTR);
    return rc;
}

bool isCaptureDevice(const std::string& path) {
    DeviceFd fd(path);
    v4l2_capability cap{};
    if (fd.get() < 0 || xioctl(fd.get(), VIDIOC_QUERYCAP, &cap) < 0) return false;
    const std::uint32_t caps =
        (cap.capabilities & V4L2_CAP_DEVICE_CAPS) ? cap.device_caps : cap.capabilities;
    return caps & V4L2_CAP_VIDEO_CAPTURE;
}

int deviceNumber(const std::string& name) {
    const std::string digits = name.substr(std::string_view("video").size());
    return digits.empty() || !std::all_of(digits.begin(), digits.end(), ::isdigit)
               ? -1
               : std::stoi(digits);
}

bool nameHas(const char* name, std::string_view word) {
    std::string lower(name);
    std::transform(lower.begin(), lower.end(), lower.begin(), ::tolower);
    return lower.find(word) != std::string::npos;
}

std::string soundCardIn(const fs::path& folder) {
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(folder / "sound", ec)) {
        const std::string name = entry.path().filename().string();
        if (name.rfind("card", 0) == 0) return "hw:" + name.substr(4);
    }
    return {};
}

}  // namespace

std::vector<std::string> v4l2CaptureDevices() {
    std::vector<std::pair<int, std::string>> found;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator("/dev", ec)) {
        const std::string name = entry.path().filename().string();
        if (name.rfind("video", 0) != 0) continue;
        const int number = deviceNumber(name);
        if (number >= 0 && isCaptureDevice(entry.path().string()))
            found.emplace_back(number, entry.path().string());
    }
    std::sort(found.begin(), found.end());
    std::vector<std::string> devices;
    devices.reserve(found.size());
    for (auto& [number, path] : found) devices.push_back(std::move(path));
    return devices;
}

bool selectV4l2Input(const std::string& device, int videoSource) {
    DeviceFd fd(device);
    if (fd.get() < 0) return false;
    const std::string_view wanted = videoSource == CaptureDevice::SVideo ? "s-video" : "composite";
    int chosen = -1, count = 0;
    for (v4l2_input input{}; xioctl(fd.get(), VIDIOC_ENUMINPUT, &input) == 0; ++input.index) {
        const char* name = reinterpret_cast<const char*>(input.name);
        if (chosen < 0 && (nameHas(name, wanted) || (wanted == "s-video" && nameHas(name, "svideo"))))
            chosen = static_cast<int>(input.index);
        ++count;
    }
    // Unnamed inputs: composite first, S-Video second, as on most cards.
    if (chosen < 0) chosen = std::min(videoSource == CaptureDevice::SVideo ? 1 : 0, count - 1);
    return chosen >= 0 && xioctl(fd.get(), VIDIOC_S_INPUT, &chosen) == 0;
}

std::string alsaDeviceFor(const std::string& device) {
    std::error_code ec;
    const fs::path sys = fs::path("/sys/class/video4linux") / fs::path(device).filename() / "device";
    const fs::path own = fs::canonical(sys, ec);
    if (ec) return {};
    if (std::string card = soundCardIn(own); !card.empty()) return card;
    // A USB device shows video and sound as sibling interfaces.
    if (!fs::exists(own.parent_path() / "idVendor", ec)) return {};
    for (const auto& sibling : fs::directory_iterator(own.parent_path(), ec))
        if (std::string card = soundCardIn(sibling.path()); !card.empty()) return card;
    return {};
}

}  // namespace kelbo
