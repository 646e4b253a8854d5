// The equalizer's start-up step: the filter is created, then the saved
// slider values and records ("EQ0", "EQ1", ...) and the "EnableEQ" switch
// are loaded and the gains applied. The tables are built once the first
// audio tells the sample rate.
#include "equalizer/eq_startup.h"
#include "base/console_log.h"
#include "base/settings.h"
#include "equalizer/equalizer.h"

namespace zul {

void InitEqualizer(const Settings& s) {
  if (!EqInit() || !TheEqualizer()) {
    ZUL_LOG(L"Equalizer: out of memory, audio passes unfiltered");
    return;
  }
  CEqualizer& eq = *TheEqualizer();
  EqPreset preset = eq.Preset();
  const EqLoadReport report = LoadEqualizerLines(s.eqBands, preset);
  if (report.valuesIncomplete) ZUL_LOG(L"Equalizer: the saved slider values are incomplete");
  if (report.recordFields)
    ZUL_LOG(L"Equalizer: a saved record has %d fields; the records end there", report.recordFields);
  eq.SetPreset(preset);
  eq.SetEnabled(s.enableEq != 0);
  eq.ApplyGains();
}

}  // namespace zul
