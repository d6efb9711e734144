#pragma once

#include "program_process.h"
#include "temp_dir.h"

#include <string>

namespace kelbo::testing {

// A D-Bus message bus of the test's own, listening in a folder of its own.
// It knows no service folders, so nothing installed on the machine (a
// notification daemon, say) is ever started on it: only what the test puts
// on the bus answers there.
class PrivateBus {
public:
    // Starts the bus and waits up to 5 s for it to listen.
    PrivateBus();
    ~PrivateBus();
    PrivateBus(const PrivateBus&) = delete;
    PrivateBus& operator=(const PrivateBus&) = delete;

    bool listening() const;
    const std::string& address() const { return address_; }

private:
    TempDir dir_;
    std::string address_;
    BackgroundProgram daemon_;
};

}  // namespace kelbo::testing
