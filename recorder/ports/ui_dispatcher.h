#pragma once

#include <functional>

namespace kelbo {

// Hands work to the user-interface thread. Streaming threads use it to
// report device events; the recorder's logic then runs on that one thread.
class UiDispatcher {
public:
    virtual ~UiDispatcher() = default;
    // Safe to call from any thread; `task` runs later on the UI thread.
    virtual void post(std::function<void()> task) = 0;
};

}  // namespace kelbo
