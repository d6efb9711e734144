#pragma once

#include "xmltv_reader.h"

#include <optional>
#include <string>
#include <vector>

namespace kelbo {
class SettingsStore;
}

namespace kelbo::guide {

// "Record every programme of this series": a title, matched exactly but for
// letter case, optionally on one channel only, recorded with add-in menu
// entry `entry`.
struct SeriesRule {
    std::string title;
    std::string channel;  // empty: any channel
    size_t entry = 0;
    bool newOnly = false;  // skip programmes marked as shown before

    bool matches(const XmltvListing& listing, const XmltvProgramme& p) const;
    // One line for people: "News" on any channel, entry 0, new episodes only
    std::string describe() const;
    friend bool operator==(const SeriesRule&, const SeriesRule&) = default;
};

// The rules in their own section of the settings store, "Guide Rules", one
// value per rule in the order they were added: "Rule1", "Rule2", ...
class SeriesRuleStore {
public:
    static constexpr const char* kSection = "Guide Rules";

    explicit SeriesRuleStore(SettingsStore& store) : store_(store) {}

    std::vector<SeriesRule> rules() const;
    bool add(const SeriesRule& rule);  // false when the same rule is stored already
    bool remove(size_t number);        // numbered from 1, as `rules list` shows
    bool failed() const { return failed_; }  // the last write did not reach the file

private:
    bool save(const std::vector<SeriesRule>& rules);

    SettingsStore& store_;
    bool failed_ = false;
};

// The value stored for a rule, and back: entry, new-only flag, channel and
// title joined by tabs, the title last so that it may hold anything.
std::string encodeRule(const SeriesRule& rule);
std::optional<SeriesRule> decodeRule(const std::string& value);

}  // namespace kelbo::guide
