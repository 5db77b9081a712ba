// Process-wide settings of the viewer.
//
// The main window owns and initialises them; the video stream thread, the
// measurement shapes, the image view and the settings panel read or write
// them. They are atomics because the stream thread reads them while the GUI
// thread writes; a stale read only delays a change by one frame.
#pragma once

#include <QObject>
#include <atomic>

// 0 Celsius, 1 Fahrenheit; stored in the native settings as "TempUnit".
extern std::atomic<int> g_temp_unit;
// Picture rotation in degrees clockwise: 0, 90, 180 or 270.
extern std::atomic<int> g_rotate_angle;
// 0-based palette index, profile.ini "Settings/Palette".
extern std::atomic<int> g_palette;
// The camera is open and streaming.
extern std::atomic<bool> g_connected;
// Module gain selection: 1 normal temperature range, 0 high temperature range.
extern std::atomic<int> g_range_mode;
