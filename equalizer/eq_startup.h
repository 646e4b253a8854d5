#pragma once
// The equalizer's start-up step: creates the filter and applies the saved
// slider values, records and switch of the settings.
//
// Threads: UI thread, before any input plug-in plays.
namespace zul {

struct Settings;

void InitEqualizer(const Settings& s);

}  // namespace zul
