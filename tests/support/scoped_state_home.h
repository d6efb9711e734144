#pragma once

#include "temp_dir.h"
#include "recorder/ports/log.h"

#include <cstdlib>
#include <optional>
#include <string>

namespace kelbo::testing {

// Points XDG_STATE_HOME, and so the recorder's log, at a fresh folder for
// the life of the object.
class ScopedStateHome {
public:
    ScopedStateHome() {
        if (const char* old = std::getenv("XDG_STATE_HOME")) old_ = old;
        ::setenv("XDG_STATE_HOME", dir_.path().c_str(), 1);
    }
    ~ScopedStateHome() {
        if (old_) ::setenv("XDG_STATE_HOME", old_->c_str(), 1);
        else ::unsetenv("XDG_STATE_HOME");
    }
    ScopedStateHome(const ScopedStateHome&) = delete;
    ScopedStateHome& operator=(const ScopedStateHome&) = delete;

    std::filesystem::path logFile() const { return dir_.path() / "kelbo" / "kelbo.log"; }
    std::string logText() const { return readFile(logFile()); }

private:
    TempDir dir_;
    std::optional<std::string> old_;
};

}  // namespace kelbo::testing
