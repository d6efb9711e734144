#include "desktop_applications.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace kelbo {

namespace fs = std::filesystem;

namespace {

std::string environmentFolder(const char* name, const std::string& otherwise) {
    const char* value = std::getenv(name);
    // Relative values are invalid and ignored.
    return value && value[0] == '/' ? value : otherwise;
}

std::vector<std::string> split(const std::string& text, char separator) {
    std::vector<std::string> parts;
    std::string part;
    std::istringstream in(text);
    while (std::getline(in, part, separator))
        if (!part.empty()) parts.push_back(part);
    return parts;
}

std::vector<std::string> absoluteFolders(const char* name, const std::string& otherwise) {
    std::vector<std::string> folders;
    for (const std::string& f : split(environmentFolder(name, otherwise), ':'))
        if (f.front() == '/') folders.push_back(f);
    return folders;
}

// The values of `key` in `group` of a desktop-entry style file ("a;b;"
// lists split), in the file's order.
std::vector<std::string> listValue(const std::string& file, const std::string& group, const std::string& key) {
    std::ifstream in(file);
    bool inGroup = false;
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (!line.empty() && line.front() == '[') {
            inGroup = line == "[" + group + "]";
            continue;
        }
        if (!inGroup) continue;
        const auto eq = line.find('=');
        if (eq == std::string::npos) continue;
        std::string k = line.substr(0, eq);
        while (!k.empty() && k.back() == ' ') k.pop_back();
        if (k != key) continue;
        std::vector<std::string> ids;
        for (std::string id : split(line.substr(eq + 1), ';')) {
            id.erase(0, id.find_first_not_of(' '));
            while (!id.empty() && id.back() == ' ') id.pop_back();
            if (!id.empty()) ids.push_back(id);
        }
        return ids;
    }
    return {};
}

std::optional<DesktopApplication> readEntry(const std::string& id, const std::string& file) {
    std::ifstream in(file);
    if (!in) return std::nullopt;
    DesktopApplication app{id, file, "", "", ""};
    bool inEntry = false, hidden = false;
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (!line.empty() && line.front() == '[') {
            inEntry = line == "[Desktop Entry]";
            continue;
        }
        const auto eq = line.find('=');
        if (!inEntry || eq == std::string::npos) continue;
        std::string key = line.substr(0, eq), value = line.substr(eq + 1);
        while (!key.empty() && key.back() == ' ') key.pop_back();
        while (!value.empty() && value.front() == ' ') value.erase(0, 1);
        if (key == "Name") app.name = value;
        else if (key == "Icon") app.icon = value;
        else if (key == "Exec") app.exec = value;
        else if (key == "Hidden") hidden = value == "true";
    }
    if (hidden || app.exec.empty()) return std::nullopt;
    return app;
}

std::optional<DesktopApplication> installed(const std::string& id, const XdgFolders& folders) {
    std::vector<std::string> data{folders.dataHome};
    data.insert(data.end(), folders.dataDirs.begin(), folders.dataDirs.end());
    // An id never names a file outside the applications folders.
    if (id.find('/') != std::string::npos || id.find("..") != std::string::npos) return std::nullopt;
    for (const std::string& d : data) {
        const std::string file = d + "/applications/" + id;
        std::error_code error;
        if (fs::is_regular_file(file, error)) return readEntry(id, file);
    }
    return std::nullopt;
}

// The mimeapps.list files, most important first.
std::vector<std::string> mimeappsLists(const XdgFolders& folders) {
    std::vector<std::string> places{folders.configHome};
    places.insert(places.end(), folders.configDirs.begin(), folders.configDirs.end());
    places.push_back(folders.dataHome + "/applications");
    for (const std::string& d : folders.dataDirs) places.push_back(d + "/applications");
    std::vector<std::string> lists;
    for (const std::string& place : places) {
        for (const std::string& desktop : folders.desktops) lists.push_back(place + "/" + desktop + "-mimeapps.list");
        lists.push_back(place + "/mimeapps.list");
    }
    return lists;
}

std::string fileUrl(const std::string& path) {
    static const char* hex = "0123456789ABCDEF";
    std::string url = "file://";
    for (const unsigned char c : path) {
        if (std::isalnum(c) || std::string_view("/-._~").find(static_cast<char>(c)) != std::string_view::npos) {
            url += static_cast<char>(c);
        } else {
            url += '%';
            url += hex[c >> 4];
            url += hex[c & 15];
        }
    }
    return url;
}

// The Exec line's arguments, quoting undone ("..." with \" \` \$ \\).
std::optional<std::vector<std::string>> execArguments(const std::string& exec) {
    std::vector<std::string> args;
    std::string current;
    bool inQuotes = false, any = false;
    for (size_t i = 0; i < exec.size(); ++i) {
        const char c = exec[i];
        if (inQuotes) {
            if (c == '"') inQuotes = false;
            else if (c == '\\' && i + 1 < exec.size()) current += exec[++i];
            else current += c;
        } else if (c == '"') {
            inQuotes = any = true;
        } else if (c == ' ' || c == '\t') {
            if (any) args.push_back(current);
            current.clear();
            any = false;
        } else {
            current += c;
            any = true;
        }
    }
    if (inQuotes) return std::nullopt;
    if (any) args.push_back(current);
    if (args.empty()) return std::nullopt;
    return args;
}

}  // namespace

XdgFolders XdgFolders::fromEnvironment() {
    const char* home = std::getenv("HOME");
    const std::string h = home ? home : "";
    XdgFolders f;
    f.configHome = environmentFolder("XDG_CONFIG_HOME", h + "/.config");
    f.configDirs = absoluteFolders("XDG_CONFIG_DIRS", "/etc/xdg");
    f.dataHome = environmentFolder("XDG_DATA_HOME", h + "/.local/share");
    f.dataDirs = absoluteFolders("XDG_DATA_DIRS", "/usr/local/share:/usr/share");
    const char* desktops = std::getenv("XDG_CURRENT_DESKTOP");
    for (std::string d : split(desktops ? desktops : "", ':')) {
        std::transform(d.begin(), d.end(), d.begin(), [](unsigned char c) { return std::tolower(c); });
        if (d.find('/') == std::string::npos) f.desktops.push_back(d);
    }
    return f;
}

std::optional<DesktopApplication> defaultApplicationFor(const std::string& mimeType, const XdgFolders& folders) {
    const std::vector<std::string> lists = mimeappsLists(folders);
    for (const char* group : {"Default Applications", "Added Associations"})
        for (const std::string& list : lists)
            for (const std::string& id : listValue(list, group, mimeType))
                if (auto app = installed(id, folders)) return app;
    std::vector<std::string> data{folders.dataHome};
    data.insert(data.end(), folders.dataDirs.begin(), folders.dataDirs.end());
    for (const std::string& d : data)
        for (const std::string& id : listValue(d + "/applications/mimeinfo.cache", "MIME Cache", mimeType))
            if (auto app = installed(id, folders)) return app;
    return std::nullopt;
}

bool takesManyFiles(const DesktopApplication& app) {
    return app.exec.find("%F") != std::string::npos || app.exec.find("%U") != std::string::npos;
}

std::vector<std::vector<std::string>> launchCommands(const DesktopApplication& app,
                                                     const std::vector<std::string>& files) {
    const auto args = execArguments(app.exec);
    if (!args) return {};
    const bool many = takesManyFiles(app);
    const bool one = app.exec.find("%f") != std::string::npos || app.exec.find("%u") != std::string::npos;
    const auto expand = [&](const std::vector<std::string>& given) {
        std::vector<std::string> command;
        for (const std::string& arg : *args) {
            if (arg == "%F" || arg == "%f") {
                command.insert(command.end(), given.begin(), given.end());
            } else if (arg == "%U" || arg == "%u") {
                for (const std::string& f : given) command.push_back(fileUrl(f));
            } else if (arg == "%i") {
                if (!app.icon.empty()) command.insert(command.end(), {"--icon", app.icon});
            } else {
                std::string out;
                for (size_t i = 0; i < arg.size(); ++i) {
                    if (arg[i] != '%' || i + 1 == arg.size()) {
                        out += arg[i];
                        continue;
                    }
                    const char code = arg[++i];
                    if (code == '%') out += '%';
                    else if (code == 'c') out += app.name;
                    else if (code == 'k') out += app.file;
                    // Others (deprecated, or files inside a word) drop out.
                }
                command.push_back(out);
            }
        }
        return command;
    };
    std::vector<std::vector<std::string>> commands;
    if (many || !one) {
        commands.push_back(expand(files));
        if (!many && !one) commands.back().insert(commands.back().end(), files.begin(), files.end());
    } else {
        for (const std::string& f : files) commands.push_back(expand({f}));
    }
    return commands;
}

std::string m3uPlaylist(const std::vector<std::string>& files) {
    std::string text = "#EXTM3U\n";
    for (const std::string& f : files) {
        // A name with a line break cannot stand on a playlist's line.
        if (f.find_first_of("\r\n") != std::string::npos) continue;
        text += f + "\n";
    }
    return text;
}

}  // namespace kelbo
