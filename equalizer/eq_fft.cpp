#include "equalizer/eq_fft.h"

#include <cstdlib>
#include <new>

#include "kissfft/kiss_fftr.h"

namespace zul {

static_assert(sizeof(kiss_fft_scalar) == sizeof(double), "build with -Dkiss_fft_scalar=double");
static_assert(sizeof(kiss_fft_cpx) == sizeof(std::complex<double>));

CRealFft::CRealFft(int size) {
  forwardPlan = kiss_fftr_alloc(size, 0, nullptr, nullptr);
  inversePlan = kiss_fftr_alloc(size, 1, nullptr, nullptr);
  if (!forwardPlan || !inversePlan) {
    kiss_fftr_free(forwardPlan);
    kiss_fftr_free(inversePlan);
    throw std::bad_alloc();
  }
}

CRealFft::~CRealFft() {
  kiss_fftr_free(forwardPlan);
  kiss_fftr_free(inversePlan);
}

// std::complex<double> is layout-compatible with two doubles, as is
// kiss_fft_cpx; KissFFT never allocates in these calls (radix 4 and 2 only).
void CRealFft::Forward(const double* in, std::complex<double>* out) {
  kiss_fftr(static_cast<kiss_fftr_cfg>(forwardPlan), in, reinterpret_cast<kiss_fft_cpx*>(out));
}

void CRealFft::Inverse(const std::complex<double>* in, double* out) {
  kiss_fftri(static_cast<kiss_fftr_cfg>(inversePlan), reinterpret_cast<const kiss_fft_cpx*>(in), out);
}

}  // namespace zul
