#pragma once

#include "common/default_folders.h"

#include <string>

namespace kelbo {

class OptionsForm;

enum class SettingsLoadResult {
    Loaded,      // stored settings read
    FirstRun,    // nothing was configured: defaults chosen and stored
    EndProgram,  // the recording templates could not be read: the caller exits
};

// Reads the stored settings into the live settings and the Options
// dialog's fields, fills the template lists from `templateKey` (see
// recorder/engine/templates.h) and, on the first run, stores the defaults.
// Values of the wrong form read as their defaults (see readLiveSettings).
// When there is no template at all, nothing is selected and `Template`
// keeps its value.
SettingsLoadResult Load_Settings(OptionsForm& form, const std::string& templateKey,
                                 const DefaultFolders& folders);

// Stores every setting of section "Defaults" from the live settings and
// rewrites section "DG Templates" from the ticked guide templates.
void Save_Settings(const OptionsForm& form);

}  // namespace kelbo
