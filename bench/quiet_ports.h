#pragma once

// The recorder's window, status bar, tray and message boxes as a benchmark
// needs them: they answer at once, keep the panels' texts and count the
// notices.
#include "recorder/ports/message_boxes.h"
#include "recorder/ports/ui_ports.h"

#include <map>
#include <string>

namespace kelbo::bench {

struct QuietPorts : MessageBoxes, StatusBarPort, ProgressBarView, TrayPort, WindowPort {
    Answer show(const std::string&, const std::string&, Icon, Buttons) override { return Answer::Ok; }
    void notify(const std::string&, const std::string&, Icon) override { ++notices; }
    void setPanelText(const std::string& k, const std::string& t) override { panels[k] = t; }
    std::string panelText(const std::string& k) const override {
        const auto it = panels.find(k);
        return it == panels.end() ? std::string() : it->second;
    }
    void setPanelTip(const std::string&, const std::string&) override {}
    void setPanelVisible(const std::string&, bool) override {}
    bool panelVisible(const std::string&) const override { return true; }
    ProgressBarView& progressBar() override { return *this; }
    void setTextOnly(bool) override {}
    void setValue(int) override {}
    void setImage(TrayImage) override {}
    void setTip(const std::string&) override {}
    void update() override {}
    bool isMinimised() const override { return false; }
    void setReloadScheduleEnabled(bool) override {}
    void setLivePreviewEnabled(bool) override {}
    void setStopButtonEnabled(bool) override {}
    bool isLivePreviewTicked() const override { return false; }
    std::map<std::string, std::string> panels;
    int notices = 0;
};

}  // namespace kelbo::bench
