#include "rules_command.h"

#include "guide_addin.h"
#include "guide_listing.h"
#include "series_apply.h"
#include "series_rules.h"

#include "common/settings_store.h"
#include "common/text_util.h"

#include <charconv>
#include <chrono>
#include <iostream>
#include <optional>

namespace kelbo::guide {

namespace {

std::optional<size_t> count(const std::string& text) {
    size_t value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return value;
}

int fail(const std::string& why, int status = 1) {
    std::cerr << "kelbo-guide: " << escapeControls(why) << '\n';
    return status;
}

int add(SeriesRuleStore& rules, const std::map<std::string, std::string>& o, bool newOnly) {
    if (!o.contains("--title") || o.at("--title").empty()) return fail("rules add needs --title TEXT", 2);
    if (!o.contains("--entry")) return fail("rules add needs --entry N", 2);
    const auto entry = count(o.at("--entry"));
    if (!entry) return fail("--entry takes a menu position from 0", 2);
    SeriesRule rule{o.at("--title"), o.contains("--channel") ? o.at("--channel") : "", *entry, newOnly};
    if (!rules.add(rule)) {
        if (rules.failed()) return fail("cannot write the settings store");
        std::cout << "Already stored: " << escapeControls(rule.describe()) << '\n';
        return 0;
    }
    std::cout << "Stored: " << escapeControls(rule.describe()) << '\n';
    return 0;
}

int apply(const SettingsStore& settings, const std::vector<SeriesRule>& rules, const std::string& file,
          const std::string& addinPath) {
    // Numbered exactly as `xmltv` numbers them, or a programme would be
    // handed over under another channel than the window shows. Every
    // channel is read; of the programmes, only those a rule may match.
    std::string warning;
    const XmltvListing listing = readGuideListing(file, limitsForRules(rules), settings, warning);
    if (!listing.error.isEmpty())
        return fail(file + " is not a readable XMLTV listing: " + listing.error.toStdString());
    if (!warning.empty()) std::cerr << "kelbo-guide: " << escapeControls(warning) << '\n';
    std::string why;
    const auto addin = GuideAddin::load(addinPath, why);
    if (!addin) return fail("cannot load the add-in: " + why);
    const RulesApplied applied =
        applyRules(listing, rules, scheduleFileOf(settings), std::chrono::system_clock::now(),
                   [&addin](size_t entry, const GuideProgramme& p) { return addin->record(entry, p.record()); });
    for (const std::string& title : applied.recordedTitles) std::cout << "Recorded: " << escapeControls(title) << '\n';
    std::cout << applied.recorded << " recorded, " << applied.alreadyScheduled << " already in the schedule";
    if (applied.refused) std::cout << ", " << applied.refused << " for a menu entry the add-in lacks";
    std::cout << '\n';
    return applied.refused ? 1 : 0;
}

}  // namespace

int rulesCommand(const std::vector<std::string>& words, const std::map<std::string, std::string>& options,
                 bool newOnly, const std::string& addinPath) {
    SettingsStore settings(SettingsStore::defaultLocation());
    SeriesRuleStore store(settings);
    const std::string what = words.empty() ? "" : words[0];
    if (what == "add" && words.size() == 1) return add(store, options, newOnly);
    if (what == "list" && words.size() == 1) {
        const auto rules = store.rules();
        for (size_t i = 0; i < rules.size(); ++i) std::cout << i + 1 << ": " << escapeControls(rules[i].describe()) << '\n';
        return 0;
    }
    if (what == "remove" && words.size() == 2) {
        const auto number = count(words[1]);
        if (!number) return fail("rules remove takes the rule's number from `rules list`", 2);
        if (!store.remove(*number))
            return fail(store.failed() ? "cannot write the settings store" : "there is no rule " + words[1]);
        return 0;
    }
    if (what == "apply" && words.size() == 2) return apply(settings, store.rules(), words[1], addinPath);
    return fail("rules takes add, list, remove N or apply FILE.xml", 2);
}

}  // namespace kelbo::guide
