#include "template_install.h"

#include "recorder/device/templates.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace kelbo {

namespace fs = std::filesystem;

std::string defaultDeviceRegistryKey() {
    const char* data = std::getenv("XDG_DATA_HOME");
    if (data && *data == '/') return std::string(data) + "/kelbo/device";
    const char* home = std::getenv("HOME");
    return std::string(home && *home ? home : "") + "/.local/share/kelbo/device";
}

bool installPrecannedTemplates(const std::string& deviceRegistryKey) {
    const fs::path folder = templateKeyFor(deviceRegistryKey);
    std::error_code ec;
    fs::create_directories(folder, ec);
    if (!fs::is_directory(folder, ec)) return false;
    for (const ShippedTemplate& t : shippedTemplates()) {
        const fs::path file = folder / (std::string(t.name) + std::string(kTemplateFileExtension));
        if (fs::exists(file, ec)) continue;
        std::ofstream(file, std::ios::binary) << t.text;
    }
    return true;
}

}  // namespace kelbo
