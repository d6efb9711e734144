#include "private_bus.h"

#include <chrono>
#include <csignal>
#include <fstream>
#include <thread>

namespace kelbo::testing {

namespace {

// A session bus's settings without its <servicedir> and
// <standard_session_servicedirs/>: a name nobody owns is never activated.
std::filesystem::path writeConfig(const std::filesystem::path& folder) {
    const auto file = folder / "bus.conf";
    std::ofstream(file) << R"(<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <type>session</type>
  <listen>unix:path=)" << (folder / "bus").string() << R"(</listen>
  <auth>EXTERNAL</auth>
  <policy context="default">
    <allow send_destination="*" eavesdrop="true"/>
    <allow eavesdrop="true"/>
    <allow own="*"/>
  </policy>
</busconfig>
)";
    return file;
}

}  // namespace

PrivateBus::PrivateBus()
    : address_("unix:path=" + (dir_ / "bus").string()),
      daemon_("/usr/bin/dbus-daemon", {"--nofork", "--config-file=" + writeConfig(dir_.path()).string()}, {}) {
    for (int i = 0; i < 50 && !listening(); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(100));
}

PrivateBus::~PrivateBus() { daemon_.stop(SIGTERM, std::chrono::seconds(5)); }

bool PrivateBus::listening() const { return std::filesystem::exists(dir_ / "bus"); }

}  // namespace kelbo::testing
