// kelbo-guide: stands where the programme guide stands. It loads the guide
// add-in and calls its exports as the guide does; the schedule file is only
// ever written by the add-in.
#include "guide_addin.h"
#include "guide_listing.h"
#include "guide_programme.h"
#include "guide_window.h"
#include "listing_model.h"
#include "rules_command.h"
#include "xmltv_reader.h"

#include "common/settings_store.h"
#include "common/text_util.h"
#include "recorder/ui/user_language.h"

#include <QApplication>

#include <algorithm>
#include <chrono>
#include <charconv>
#include <cstdint>
#include <iostream>
#include <map>
#include <optional>

namespace {

using namespace kelbo;
using namespace kelbo::guide;

const char kUsage[] =
    "usage: kelbo-guide [--addin PATH] menu\n"
    "       kelbo-guide [--addin PATH] record --entry N --name TEXT --start \"DD-MM-YYYY HH:MM\"\n"
    "                   --duration MIN --channel-name TEXT --channel-number TEXT [--category TEXT]\n"
    "                   [--description TEXT] [--reminder-id U32] [--smart-search-id U32]\n"
    "                   [--favourite-id U32]\n"
    "       kelbo-guide [--addin PATH] xmltv [--list] [--days N] FILE.xml|FILE.xml.gz\n"
    "       kelbo-guide rules add --title TEXT [--channel TEXT] [--new-only] --entry N\n"
    "       kelbo-guide rules list\n"
    "       kelbo-guide rules remove N\n"
    "       kelbo-guide [--addin PATH] rules apply FILE.xml|FILE.xml.gz\n";

int usage(const std::string& why = {}) {
    if (!why.empty()) std::cerr << "kelbo-guide: " << escapeControls(why) << '\n';
    std::cerr << kUsage;
    return 2;
}

std::optional<uint32_t> u32(const std::string& text) {
    uint32_t value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size() || text.empty()) return std::nullopt;
    return value;
}

struct Arguments {
    std::string command;
    std::string addin = GuideAddin::defaultPath();
    std::map<std::string, std::string> options;  // "--name" -> value
    bool list = false;
    bool newOnly = false;
    bool help = false;  // --help or -h: nothing else is read
    std::vector<std::string> words;  // after the command
};

std::optional<Arguments> parse(int argc, char** argv, std::string& why) {
    static const char* const withValue[] = {
        "--addin", "--entry", "--name", "--start", "--duration", "--channel-name",
        "--channel-number", "--category", "--description", "--reminder-id",
        "--smart-search-id", "--favourite-id", "--days", "--title", "--channel"};
    Arguments args;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (std::find(std::begin(withValue), std::end(withValue), arg) != std::end(withValue)) {
            if (++i >= argc) {
                why = arg + " needs a value";
                return std::nullopt;
            }
            (arg == "--addin" ? args.addin : args.options[arg]) = argv[i];
        } else if (arg == "--help" || arg == "-h") {
            Arguments help;
            help.help = true;
            return help;
        } else if (arg == "--list") {
            args.list = true;
        } else if (arg == "--new-only") {
            args.newOnly = true;
        } else if (!arg.empty() && arg[0] == '-') {
            why = "unknown option " + arg;
            return std::nullopt;
        } else if (args.command.empty()) {
            args.command = arg;
        } else if (args.command == "rules" || (args.command == "xmltv" && args.words.empty())) {
            args.words.push_back(arg);
        } else {
            why = "unexpected argument " + arg;
            return std::nullopt;
        }
    }
    return args;
}

int menu(const GuideAddin& addin) {
    for (const auto& entry : addin.menu()) std::cout << escapeControls(entry.text) << '\n';
    return 0;
}

int record(const GuideAddin& addin, const Arguments& args) {
    const auto& o = args.options;
    for (const char* required : {"--entry", "--name", "--start", "--duration", "--channel-name",
                                 "--channel-number"})
        if (!o.contains(required)) return usage(std::string(required) + " is required");
    GuideProgramme p;
    const auto entry = u32(o.at("--entry"));
    const auto start = DateTime::parseDateTime(o.at("--start"));
    const auto duration = u32(o.at("--duration"));
    if (!entry) return usage("--entry takes a menu position from 0");
    if (!start) return usage("--start takes \"DD-MM-YYYY HH:MM\"");
    if (!duration) return usage("--duration takes whole minutes");
    p.name = o.at("--name");
    p.start = *start;
    p.duration = *duration;
    p.channelName = o.at("--channel-name");
    p.channelNumber = o.at("--channel-number");
    if (o.contains("--category")) p.category = o.at("--category");
    if (o.contains("--description")) p.description = o.at("--description");
    for (auto [option, field] : {std::pair{"--reminder-id", &p.reminderId},
                                 std::pair{"--smart-search-id", &p.smartSearchId},
                                 std::pair{"--favourite-id", &p.favouriteId}}) {
        if (!o.contains(option)) continue;
        const auto value = u32(o.at(option));
        if (!value) return usage(std::string(option) + " takes a number from 0 to 4294967295");
        *field = *value;
    }
    if (!addin.record(*entry, p.record())) {
        std::cerr << "kelbo-guide: the add-in's menu has no entry " << *entry << '\n';
        return 1;
    }
    return 0;
}

QString programmes(int n) {
    return QStringLiteral("%1 programme%2").arg(n).arg(n == 1 ? "" : "s");
}

QString skippedNote(const XmltvListing& listing) {
    QStringList parts;
    if (listing.withoutStop)
        parts << programmes(listing.withoutStop) + QStringLiteral(" without a stop time skipped");
    if (listing.badTimes)
        parts << programmes(listing.badTimes) + QStringLiteral(" with unreadable times skipped");
    if (listing.outsideWindow)
        parts << programmes(listing.outsideWindow) + QStringLiteral(" outside the days kept left out");
    return parts.join(QStringLiteral("; "));
}

int xmltv(int argc, char** argv, GuideAddin* addin, const Arguments& args) {
    if (args.words.empty()) return usage("xmltv needs a listings file");
    const std::string& file = args.words[0];
    XmltvLimits limits;
    if (args.options.contains("--days")) {
        // Every channel keeps the same span: from now to the days ahead.
        const auto days = u32(args.options.at("--days"));
        if (!days || *days == 0 || *days > 3650) return usage("--days takes a number of days from 1");
        limits.windowStart = std::chrono::system_clock::now();
        limits.windowEnd = *limits.windowStart + std::chrono::days(*days);
    }
    const SettingsStore settings(SettingsStore::defaultLocation());
    std::string warning;
    XmltvListing listing = readGuideListing(file, limits, settings, warning);
    if (!listing.error.isEmpty()) {
        std::cerr << "kelbo-guide: " << escapeControls(file) << " is not a readable XMLTV listing: "
                  << escapeControls(listing.error.toStdString()) << '\n';
        return 1;
    }
    if (!warning.empty()) std::cerr << "kelbo-guide: " << escapeControls(warning) << '\n';
    const QString note = skippedNote(listing);
    if (!note.isEmpty()) std::cerr << "kelbo-guide: " << note.toStdString() << '\n';
    if (args.list) {
        ListingModel model(std::move(listing));
        for (int row = 0; row < model.rowCount(); ++row) {
            // Guide text: its control characters escaped, its tabs too, so
            // that a cell never runs into the next column. The listing's own
            // columns only: the window's marks are not part of it.
            std::string line;
            for (int c = ListingModel::Channel; c < ListingModel::ColumnCount; ++c) {
                std::string cell = escapeControls(model.cell(row, static_cast<ListingModel::Column>(c)).toStdString());
                for (size_t at = 0; (at = cell.find('\t', at)) != std::string::npos; at += 2)
                    cell.replace(at, 1, "\\t");
                line += (c != ListingModel::Channel ? "\t" : "") + cell;
            }
            std::cout << line << '\n';
        }
        return 0;
    }
    QApplication app(argc, argv);
    kelbo::ui::loadUserLanguage(app);
    GuideWindow window(new ListingModel(std::move(listing)), *addin);
    addin->onMessage([&window](const std::string& text) { window.showAddinMessage(text); });
    window.showStatus(note);
    window.show();
    const int status = app.exec();
    addin->onMessage(nullptr);
    return status;
}

}  // namespace

int main(int argc, char** argv) {
    std::string why;
    const auto args = parse(argc, argv, why);
    if (!args) return usage(why);
    if (args->help) {
        std::cout << kUsage;
        return 0;
    }
    if (args->command.empty()) return usage();
    if (args->command != "menu" && args->command != "record" && args->command != "xmltv" &&
        args->command != "rules")
        return usage("unknown command " + args->command);
    // Rules load the add-in only when they record.
    if (args->command == "rules") return rulesCommand(args->words, args->options, args->newOnly, args->addin);
    // A plain listing needs no add-in.
    const bool needsAddin = !(args->command == "xmltv" && args->list);
    std::unique_ptr<GuideAddin> addin;
    if (needsAddin) {
        addin = GuideAddin::load(args->addin, why);
        if (!addin) {
            std::cerr << "kelbo-guide: cannot load the add-in: " << escapeControls(why) << '\n';
            return 1;
        }
    }
    if (args->command == "menu") return menu(*addin);
    if (args->command == "record") return record(*addin, *args);
    return xmltv(argc, argv, addin.get(), *args);
}
