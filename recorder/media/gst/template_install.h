#pragma once

#include <string>
#include <vector>

namespace kelbo {

// A precanned template shipped inside the program (from data/templates).
struct ShippedTemplate {
    const char* name;
    const char* text;
};
const std::vector<ShippedTemplate>& shippedTemplates();

// The device's registry key when none is given: the per-user folder
// $XDG_DATA_HOME/kelbo/device (default ~/.local/share/kelbo/device).
std::string defaultDeviceRegistryKey();

// Makes the template folders below `deviceRegistryKey` and writes every
// shipped template that is missing there; a template already present keeps
// its values and only gains the keys it does not set. False when the
// folders cannot be made.
bool installPrecannedTemplates(const std::string& deviceRegistryKey);

}  // namespace kelbo
