#pragma once

#include "column_layout.h"
#include "window_geometry.h"

#include <string>
#include <vector>

namespace kelbo {

class SettingsStore;

// A list column as the view reports it at shutdown: its header text, its
// display position from 1 (left to right) and its width in twips.
struct ColumnState {
    std::string header;
    int position = 0;
    int widthTwips = 0;
};

// The saved column layout of section "Defaults". Nothing saved yet gives the
// default layout; so does a saved layout that would lose columns (a gap, two
// columns on one position, a position outside 1..15 or not a number, a
// width that is not a whole number of twips from 0).
ColumnLayout Load_Column_Layout(const SettingsStore& store);

// Writes each column's position and width; headers the list does not know
// are left out.
void Save_Layout(SettingsStore& store, const std::vector<ColumnState>& columns);

// The main window's rectangle, in twips.
using WindowRect = TwipsRect;

// Missing or unreadable values take their defaults: 0, 0 and 640 x 400
// pixels.
WindowRect readWindowRect(const SettingsStore& store);
// Stored as single-precision number text, in the order left, top, height,
// width.
void saveWindowRect(SettingsStore& store, double left, double top, double width, double height);

}  // namespace kelbo
