// What the engine touches on the main window. The main window implements it;
// the engine's tests use a small fake.
#pragma once

#include <cstdint>
#include <string>

class EngineHost {
public:
    virtual ~EngineHost() = default;

    virtual void SetFormEnabled(bool enabled) = 0;          // frmMain.Enabled
    virtual std::string PatternText() const = 0;            // cmbPattern.Text
    virtual int16_t EasyValue() const = 0;                  // chkEasy.Value
    virtual void SetTimerEnabled(bool enabled) = 0;         // Timer1.Enabled
    virtual void SetTilesCaption(const std::string& text) = 0;  // lblTiles
    virtual void SetMatchCaption(const std::string& text) = 0;  // lblMatch
};
