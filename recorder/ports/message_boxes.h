#pragma once

#include <string>
#include <vector>

namespace kelbo {

// News of a recording for whoever is at the desk.
struct Announcement {
    std::string title;
    std::string text;
    // A programme that was due is not recorded: the desktop keeps the
    // notice until someone has seen it.
    bool recordingLost = false;
    // The finished recording's files in order (its parts), for Play and
    // Show in Folder; empty for any other news.
    std::vector<std::string> files;
};

// Every message box and confirmation of the recorder goes through this
// interface, so tests can see and answer them.
class MessageBoxes {
public:
    enum class Icon { None, Information, Exclamation, Critical, Question };
    // OkCancelDefaultCancel: a destructive command, where Enter (or a
    // stray key) must keep things as they are.
    enum class Buttons { Ok, OkCancel, OkCancelDefaultCancel };
    enum class Answer { Ok, Cancel };

    virtual ~MessageBoxes() = default;
    // A box that waits for the user's answer: confirmations of the user's
    // own commands.
    virtual Answer show(const std::string& title, const std::string& text, Icon icon,
                        Buttons buttons) = 0;
    // A notice the recorder raises by itself (from the tick, a start, a
    // split, a finish, a rewrite, a reload): shown without waiting, so the
    // recorder goes on while nobody is at the desk. It needs the user (a
    // failure): a box, never also a desktop notification. Implementations
    // whose show() waits must override this.
    virtual void notify(const std::string& title, const std::string& text, Icon icon) {
        show(title, text, icon, Buttons::Ok);
    }
    // News for whoever is at the desk (a recording started or finished): a
    // desktop notification only, never a box, never waited for. Nothing
    // where there is no desktop to show it.
    virtual void announce(const Announcement& /*news*/) {}
};

}  // namespace kelbo
