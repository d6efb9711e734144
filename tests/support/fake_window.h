#pragma once

#include "recorder/ports/ui_ports.h"

#include <map>
#include <string>
#include <vector>

namespace kelbo::testing {

class FakeProgressBar : public ProgressBarView {
public:
    void setTextOnly(bool t) override { textOnly = t; }
    void setValue(int v) override { values.push_back(v); }
    bool textOnly = true;
    std::vector<int> values;
};

// Status-bar panels as texts and visibility; every panel starts visible.
class FakeStatusBar : public StatusBarPort {
public:
    void setPanelText(const std::string& key, const std::string& text) override { shown[key] = texts[key] = text; }
    void showPanelText(const std::string& key, const std::string& text, const std::string& inLanguage) override {
        texts[key] = text;
        shown[key] = inLanguage;
    }
    std::string panelText(const std::string& key) const override {
        const auto it = texts.find(key);
        return it == texts.end() ? std::string() : it->second;
    }
    void setPanelTip(const std::string& key, const std::string& tip) override { tips[key] = tip; }
    void setPanelVisible(const std::string& key, bool visible) override { hidden[key] = !visible; }
    bool panelVisible(const std::string& key) const override {
        const auto it = hidden.find(key);
        return it == hidden.end() || !it->second;
    }
    ProgressBarView& progressBar() override {
        ++progressBarRequests;
        return bar;
    }

    std::map<std::string, std::string> texts;
    // What the user would read, in the user's language.
    std::map<std::string, std::string> shown;
    std::map<std::string, std::string> tips;
    std::map<std::string, bool> hidden;
    FakeProgressBar bar;
    int progressBarRequests = 0;
};

class FakeTray : public TrayPort {
public:
    void setImage(TrayImage i) override { images.push_back(i); }
    void setTip(const std::string& t) override { tip = t; }
    void update() override { ++updates; }
    std::vector<TrayImage> images;
    std::string tip;
    int updates = 0;
};

class FakeWindow : public WindowPort {
public:
    bool isMinimised() const override { return minimised; }
    void setReloadScheduleEnabled(bool e) override { reloadEnabled = e; }
    void setLivePreviewEnabled(bool e) override { livePreviewEnabled = e; }
    void setStopButtonEnabled(bool e) override { stopEnabled = e; }
    bool isLivePreviewTicked() const override { return livePreviewTicked; }

    bool minimised = false;
    bool reloadEnabled = true;
    bool livePreviewEnabled = true;
    bool stopEnabled = false;
    bool livePreviewTicked = false;
};

}  // namespace kelbo::testing
