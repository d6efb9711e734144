#pragma once

#include <cassert>
#include <thread>

namespace kelbo {

// Remembers the thread that made it: the user-interface thread of whatever
// it belongs to. In debug builds check() aborts when called on any other
// thread, so a call from a streaming or worker thread shows at once
// instead of as a rare race.
class UiThreadRole {
public:
    void check() const {
        assert(owner_ == std::this_thread::get_id() && "called off the user-interface thread");
    }

private:
    std::thread::id owner_ = std::this_thread::get_id();
};

}  // namespace kelbo
