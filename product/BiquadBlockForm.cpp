#include "product/BiquadBlockForm.h"

namespace {
// The section's own step, so every weight is the response the recursion itself gives.
double Step(Biquad::Snapshot& f, double x) {
  const double y = x * f.a0 + f.z1;
  f.z1 = x * f.a1 + f.z2 - f.b1 * y;
  f.z2 = x * f.a2 - f.b2 * y;
  return y;
}

// Outputs of eight samples from state (z1, z2) with an impulse at `impulseAt` (none if < 0);
// leaves the state after them in f.
void Respond(Biquad::Snapshot& f, double z1, double z2, int impulseAt, double* out) {
  f.z1 = z1;
  f.z2 = z2;
  for (int k = 0; k < BiquadBlockForm::kFrames; ++k) out[k] = Step(f, k == impulseAt ? 1.0 : 0.0);
}
}  // namespace

BiquadBlockForm BlockFormOf(const Biquad::Snapshot& s) {
  constexpr int n = BiquadBlockForm::kFrames;
  BiquadBlockForm form{};
  Biquad::Snapshot f = s;
  double impulse[n];
  Respond(f, 0.0, 0.0, 0, impulse);
  for (int j = 0; j < n; ++j)
    for (int k = j; k < n; ++k) form.fromInput[j][k] = impulse[k - j];
  Respond(f, 1.0, 0.0, -1, form.fromZ1);
  form.carry[0][0] = f.z1;
  form.carry[1][0] = f.z2;
  Respond(f, 0.0, 1.0, -1, form.fromZ2);
  form.carry[0][1] = f.z1;
  form.carry[1][1] = f.z2;
  return form;
}
