#pragma once
// AppSettings: everything a user can change, one record for the whole process.
#include "base/colour.h"

#include <cstdint>
#include <string>

struct AppSettings {
    Colour Unpressed = MakeColour(0xA0, 0xA0, 0xA0);
    Colour Depressed = MakeColour(0xA0, 0xA0, 0xFF);
    Colour Pressed = MakeColour(0xA0, 0xFF, 0xA0);
    Colour Alarm = MakeColour(0xFF, 0xA0, 0xA0);
    bool ShowLog = true;
    std::int32_t ChatterThreshold = 8; // ms
    std::int32_t KeyDimensions = 36;   // pixels per key unit, at least 10
    std::wstring LogFileDirectory;     // expanded; default %APPDATA%\Quillmark\log
    std::wstring LayoutFileDirectory;  // expanded; default %APPDATA%\Quillmark\layouts
    std::wstring LogFilePrefix;
    std::wstring LastLayout;
    bool Overwrite = false;
    std::int32_t PressedKeysFont = 0; // points; 0 keeps the default
    std::int32_t KeyLabelFont = 0;
    std::int32_t LogFont = 0;
    std::int32_t LogNumberFont = 0;
    // Bench mode: unit after unit under a test plan, each unit's files written by itself.
    bool BenchEnabled = false;
    std::wstring BenchPlan;            // the plan file's path, expanded
    std::wstring BenchOutputDirectory; // expanded; empty: the log folder
};

// Where bench mode writes the units' files and bench.csv.
inline const std::wstring& BenchOutputFolder(const AppSettings& settings) {
    return settings.BenchOutputDirectory.empty() ? settings.LogFileDirectory
                                                 : settings.BenchOutputDirectory;
}

// A threshold below 0 switches the chatter check off, as 0 does; read unsigned it would flag
// every second press of every key.
constexpr std::int32_t UsableChatterThreshold(std::int32_t milliseconds) {
    return milliseconds < 0 ? 0 : milliseconds;
}

// The process-wide record.
AppSettings& Settings();
