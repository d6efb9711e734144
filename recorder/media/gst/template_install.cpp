#include "template_install.h"

#include "common/default_folders.h"
#include "recorder/device/templates.h"

#include <filesystem>
#include <fstream>

namespace kelbo {

namespace fs = std::filesystem;

std::string defaultDeviceRegistryKey() {
    return xdgDataHome() + "/kelbo/device";
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
