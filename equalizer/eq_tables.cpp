#include "equalizer/eq_tables.h"

namespace zul {

CEqTables::CEqTables() {
  for (auto& copy : data)
    for (auto& table : copy) table.assign(kEqBins, {});
}

int CEqTables::BeginWrite() {
  int expected = published;
  if (pending.compare_exchange_strong(expected, kNone, std::memory_order_acquire, std::memory_order_acquire))
    return published;    // withdrawn before the audio thread saw it
  return 1 - published;  // claimed (or nothing published yet): the other copy is abandoned
}

void CEqTables::Publish(int copy) {
  published = copy;
  pending.store(copy, std::memory_order_release);
}

}  // namespace zul
