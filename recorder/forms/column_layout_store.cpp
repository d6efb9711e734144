#include "column_layout_store.h"

#include "common/settings_keys.h"
#include "common/settings_store.h"
#include "common/text_util.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdio>
#include <optional>

namespace kelbo {

namespace {

std::string positionKey(int column) {
    return "i_" + settings::columnFieldNames()[static_cast<size_t>(column)];
}

std::string widthKey(int column) { return positionKey(column) + "_Width"; }

// Decimal digits only (spaces around them allowed), as the layout is saved.
std::optional<int> wholeNumber(const std::string& text) {
    const size_t first = text.find_first_not_of(' ');
    if (first == std::string::npos) return std::nullopt;
    const size_t last = text.find_last_not_of(' ');
    const char* begin = text.data() + first;
    const char* end = text.data() + last + 1;
    if (*begin < '0' || *begin > '9') return std::nullopt;
    int value = 0;
    const auto [ptr, ec] = std::from_chars(begin, end, value);
    if (ec != std::errc() || ptr != end) return std::nullopt;
    return value;
}

std::optional<ColumnLayout> savedLayout(const SettingsStore& store) {
    ColumnLayout layout;
    std::array<bool, kColumnCount + 1> taken{};
    for (int column = 0; column < kColumnCount; ++column) {
        const auto position =
            wholeNumber(store.GetSetting(settings::kDefaults, positionKey(column)));
        const auto width = wholeNumber(store.GetSetting(settings::kDefaults, widthKey(column)));
        if (!position || !width || *position < 1 || *position > kColumnCount) return std::nullopt;
        if (taken[static_cast<size_t>(*position)]) return std::nullopt;
        taken[static_cast<size_t>(*position)] = true;
        layout.set(static_cast<Column>(column), *position, *width);
    }
    // Fifteen distinct positions within 1..15 leave no gap.
    return layout;
}

std::optional<int> columnOfHeader(const std::string& header) {
    for (int column = 0; column < kColumnCount; ++column)
        if (headerText(static_cast<Column>(column)) == header) return column;
    return std::nullopt;
}

std::string singleText(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.7g", static_cast<double>(static_cast<float>(value)));
    return text;
}

double numberOr(const SettingsStore& store, const std::string& key, double fallback) {
    return parseNumber(store.GetSetting(settings::kDefaults, key)).value_or(fallback);
}

}  // namespace

ColumnLayout Load_Column_Layout(const SettingsStore& store) {
    if (store.GetSetting(settings::kDefaults, positionKey(0)).empty()) return ColumnLayout::defaults();
    return savedLayout(store).value_or(ColumnLayout::defaults());
}

void Save_Layout(SettingsStore& store, const std::vector<ColumnState>& columns) {
    for (const ColumnState& state : columns) {
        const auto column = columnOfHeader(state.header);
        if (!column) continue;
        store.SaveSetting(settings::kDefaults, positionKey(*column), std::to_string(state.position));
        store.SaveSetting(settings::kDefaults, widthKey(*column), std::to_string(std::max(0, state.widthTwips)));
    }
}

WindowRect readWindowRect(const SettingsStore& store) {
    constexpr int kTwips = settings::kTwipsPerPixel;
    return WindowRect{numberOr(store, settings::kPositionLeft, 0),
                      numberOr(store, settings::kPositionTop, 0),
                      numberOr(store, settings::kPositionWidth, 640 * kTwips),
                      numberOr(store, settings::kPositionHeight, 400 * kTwips)};
}

void saveWindowRect(SettingsStore& store, double left, double top, double width, double height) {
    store.SaveSetting(settings::kDefaults, settings::kPositionLeft, singleText(left));
    store.SaveSetting(settings::kDefaults, settings::kPositionTop, singleText(top));
    store.SaveSetting(settings::kDefaults, settings::kPositionHeight, singleText(height));
    store.SaveSetting(settings::kDefaults, settings::kPositionWidth, singleText(width));
}

}  // namespace kelbo
