#include "series_rules.h"

#include "common/settings_store.h"
#include "common/text_util.h"

#include <algorithm>
#include <charconv>

namespace kelbo::guide {

namespace {

std::string withoutTabs(std::string text) {
    std::replace(text.begin(), text.end(), '\t', ' ');
    return text;
}

}  // namespace

bool SeriesRule::matches(const XmltvListing& listing, const XmltvProgramme& p) const {
    if (!equalsIgnoreCase(listing.text(p.title), title)) return false;
    if (newOnly && p.previouslyShown) return false;
    if (channel.empty()) return true;
    const XmltvChannel& c = listing.channels[p.channel];
    for (const std::string* name : {&c.name, &c.entryName, &c.number, &c.listedNumber, &c.id})
        if (!name->empty() && equalsIgnoreCase(*name, channel)) return true;
    return false;
}

std::string SeriesRule::describe() const {
    std::string text = "\"" + title + "\" on " + (channel.empty() ? "any channel" : "\"" + channel + "\"") +
                       ", entry " + std::to_string(entry);
    if (newOnly) text += ", new episodes only";
    return text;
}

std::string encodeRule(const SeriesRule& rule) {
    return std::to_string(rule.entry) + '\t' + (rule.newOnly ? "1" : "0") + '\t' +
           withoutTabs(rule.channel) + '\t' + rule.title;
}

std::optional<SeriesRule> decodeRule(const std::string& value) {
    const size_t a = value.find('\t');
    const size_t b = a == std::string::npos ? a : value.find('\t', a + 1);
    const size_t c = b == std::string::npos ? b : value.find('\t', b + 1);
    if (c == std::string::npos) return std::nullopt;
    SeriesRule rule;
    const auto [end, ec] = std::from_chars(value.data(), value.data() + a, rule.entry);
    const std::string flag = value.substr(a + 1, b - a - 1);
    if (ec != std::errc() || end != value.data() + a || (flag != "0" && flag != "1")) return std::nullopt;
    rule.newOnly = flag == "1";
    rule.channel = value.substr(b + 1, c - b - 1);
    rule.title = value.substr(c + 1);
    if (rule.title.empty()) return std::nullopt;
    return rule;
}

std::vector<SeriesRule> SeriesRuleStore::rules() const {
    std::vector<SeriesRule> rules;
    for (const auto& [name, value] : store_.GetAllSettings(kSection))
        if (auto rule = decodeRule(value)) rules.push_back(std::move(*rule));
    return rules;
}

bool SeriesRuleStore::add(const SeriesRule& rule) {
    std::vector<SeriesRule> all = rules();
    if (std::find(all.begin(), all.end(), rule) != all.end()) return false;
    all.push_back(rule);
    return save(all);
}

bool SeriesRuleStore::remove(size_t number) {
    std::vector<SeriesRule> all = rules();
    if (number == 0 || number > all.size()) return false;
    all.erase(all.begin() + static_cast<std::ptrdiff_t>(number - 1));
    return save(all);
}

bool SeriesRuleStore::save(const std::vector<SeriesRule>& rules) {
    // Numbered afresh each time, so the numbers `rules list` shows are the
    // ones `rules remove` takes.
    bool ok = store_.DeleteSetting(kSection) || store_.GetAllSettings(kSection).empty();
    for (size_t i = 0; i < rules.size(); ++i)
        ok = store_.SaveSetting(kSection, "Rule" + std::to_string(i + 1), encodeRule(rules[i])) && ok;
    failed_ = !ok;
    return ok;
}

}  // namespace kelbo::guide
