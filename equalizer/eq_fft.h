#pragma once
// Real-input FFT of a fixed size (KissFFT, double precision) and its inverse.
// The inverse is unnormalised: Inverse(Forward(x)) == size * x.
//
// Threads: not shareable; the plans carry scratch space.
#include <complex>

namespace zul {

class CRealFft {
public:
  explicit CRealFft(int size);
  ~CRealFft();
  CRealFft(const CRealFft&) = delete;
  CRealFft& operator=(const CRealFft&) = delete;

  // `in` has size values, `out` size / 2 + 1 bins.
  void Forward(const double* in, std::complex<double>* out);
  // `in` has size / 2 + 1 bins, `out` size values.
  void Inverse(const std::complex<double>* in, double* out);

private:
  void* forwardPlan = nullptr;  // kiss_fftr_cfg, kept out of this header
  void* inversePlan = nullptr;
};

}  // namespace zul
