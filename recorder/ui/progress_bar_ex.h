#pragma once

#include "recorder/ports/ui_ports.h"

#include <QColor>

#include <stdexcept>
#include <string>

class QObject;

namespace kelbo::ui {

class KeyedStatusBar;
class PictureBox;

// An error raised by a property, with the number, source and description
// that callers of the bar know it by.
struct ProgressBarError : std::runtime_error {
    ProgressBarError(long errorNumber, std::string errorSource, const std::string& description)
        : std::runtime_error(description), number(errorNumber), source(std::move(errorSource)) {}
    long number;
    std::string source;
};

// A segmented progress bar painted into a picture box and shown as the
// picture of one status-bar panel. Colours are 24-bit values with red in
// the low byte; 0x8000000F is the system's button-face colour.
class ProgressBarEx : public ProgressBarView {
public:
    ProgressBarEx();

    void setClient(QObject* client);  // must be a PictureBox
    PictureBox* Client() const { return client_; }
    void setHost(QObject* host);      // must be a KeyedStatusBar
    KeyedStatusBar* Host() const { return host_; }
    void setPanelKey(const std::string& key) { panelKey_ = key; }
    const std::string& PanelKey() const { return panelKey_; }
    void setTextOnly(bool textOnly) override;
    bool TextOnly() const { return textOnly_; }
    void setValue(int value) override;
    int Value() const { return value_; }
    void setMin(int min);
    int Min() const { return min_; }
    void setMax(int max);
    int Max() const { return max_; }
    void setForecolor(long colour);
    long Forecolor() const { return fore_; }
    void setBackColor(long colour);
    long BackColor() const { return back_; }

    void Refresh(bool clearFirst = false);
    void Resize();
    void ResizeEx();

    // The geometry last worked out, in pixels, and how often the bar was
    // drawn: for the status bar and for tests.
    int blockCount() const { return blocks_; }
    int blockWidth() const { return blockWidth_; }
    int innerHeight() const { return innerHeight_; }
    int drawCount() const { return draws_; }

    static QColor toQColor(long colour);

private:
    void DrawBar();
    void CalcBlocks();

    PictureBox* client_ = nullptr;
    KeyedStatusBar* host_ = nullptr;
    std::string panelKey_;
    bool textOnly_ = false;
    int value_ = 0, min_ = 0, max_ = 100;
    long fore_ = 255;
    long back_ = 0x8000000FL;

    int margin_ = 2, gap_ = 3;
    int innerHeight_ = 0, blockWidth_ = 0, blocks_ = 0;
    int lastFilled_ = -1;
    bool resizing_ = false;
    int draws_ = 0;
};

}  // namespace kelbo::ui
