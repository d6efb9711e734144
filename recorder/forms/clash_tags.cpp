#include "clash_tags.h"

#include "schedule_list.h"
#include "recorder/schedule/schedule.h"

#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace kelbo {

namespace {

const char kTagPrefix[] = "Clash with: ";
const char kSeparator[] = " AND ";

bool startsWithEndOf(std::string_view text, std::string_view end) {
    for (size_t n = 1; n <= end.size() && n <= text.size(); ++n)
        if (text.substr(0, n) == end.substr(end.size() - n)) return true;
    return false;
}

// The tag texts, built once. A partner is named unless the tag already
// contains its name. Most names can only be found in a tag where that very
// name was written before, so a set of names given answers for them; a
// name that could also turn up inside or across other names is looked for
// in the tag itself.
class TagTexts {
public:
    explicit TagTexts(const Schedule& schedule) : nameOf_(static_cast<size_t>(schedule.listedCount()) + 1) {
        // Rows with the same name share a number.
        std::unordered_map<std::string, size_t> numbers;
        for (int row = 1; row <= schedule.listedCount(); ++row) {
            const ScheduleItem& item = *schedule.stored(schedule.inStartOrder()[static_cast<size_t>(row - 1)]);
            std::string name = item.ProgrammeName + " on " + item.ChannelName;
            const auto [at, added] = numbers.try_emplace(std::move(name), names_.size());
            if (added) names_.push_back(at->first);
            nameOf_[static_cast<size_t>(row)] = at->second;
        }
        findLooseNames();
        namedIn_.assign(names_.size(), 0);
    }

    std::string tagFor(int row, const std::vector<int>& partners) {
        std::vector<size_t> named;
        named.reserve(partners.size());
        size_t length = sizeof kTagPrefix;
        bool loose = false;
        for (int partner : partners) {
            const size_t name = nameOf_[static_cast<size_t>(partner)];
            if (namedIn_[name] == row) continue;
            namedIn_[name] = row;
            named.push_back(name);
            length += names_[name].size() + sizeof kSeparator;
            loose = loose || loose_[name];
        }
        std::string tag = kTagPrefix;
        tag.reserve(length);
        for (size_t name : named)
            if (!loose || tag.find(names_[name]) == std::string::npos)
                tag.append(names_[name]).append(kSeparator);
        return tag;
    }

private:
    // A name is loose when a tag could contain it other than where it was
    // written itself: inside another name, or across the separator or the
    // prefix. Everything a tag holds is the prefix and the names with their
    // separators, all laid side by side here, one apart.
    void findLooseNames() {
        std::string all = std::string(kTagPrefix) + '\0';
        std::vector<size_t> at(names_.size());
        for (size_t n = 0; n < names_.size(); ++n) {
            at[n] = all.size();
            all.append(names_[n]).append(kSeparator).append(1, '\0');
        }
        loose_.assign(names_.size(), false);
        for (size_t n = 0; n < names_.size(); ++n) {
            const std::string& name = names_[n];
            bool loose = name.find(kSeparator) != std::string::npos || name.find('\0') != std::string::npos ||
                         startsWithEndOf(name, kSeparator) || startsWithEndOf(name, kTagPrefix);
            for (size_t p = all.find(name); !loose && p != std::string::npos; p = all.find(name, p + 1))
                loose = p != at[n];
            loose_[n] = loose;
        }
    }

    std::vector<std::string> names_;
    std::vector<size_t> nameOf_;
    std::vector<bool> loose_;
    std::vector<int> namedIn_;  // the last row whose tag has the name
};

}  // namespace

std::string clashDescription(const std::string& tag) {
    const std::string_view separator = kSeparator;
    std::string text = tag.ends_with(separator) ? tag.substr(0, tag.size() - separator.size()) : tag;
    return text == kTagPrefix ? std::string() : text;
}

void showClashes(const Schedule& schedule, const Clashes& clashes, ScheduleList& list) {
    for (int row = 1; row <= list.rowCount(); ++row) {
        list.setTag(row, kTagPrefix);
        list.Set_Row_Colour(row, colour::kBlack);
    }
    TagTexts texts(schedule);
    for (int row = 1; row <= list.rowCount() && row < static_cast<int>(clashes.partners.size()); ++row) {
        const std::vector<int>& others = clashes.partners[static_cast<size_t>(row)];
        if (others.empty()) continue;
        list.setTag(row, texts.tagFor(row, others));
        list.Set_Row_Colour(row, colour::kBlue);
    }
}

Clashes FindClash(Schedule& schedule, ScheduleList& list, Instant now, int tuners) {
    Clashes clashes = findClashes(schedule, now, tuners);
    showClashes(schedule, clashes, list);
    list.refresh();
    return clashes;
}

}  // namespace kelbo
