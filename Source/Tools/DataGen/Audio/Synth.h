// Small signal toolkit for the generated sounds and music instruments: a seeded random source,
// biquad filters, envelopes and level handling. Signals are float buffers in -1..1 at a given rate.
#pragma once

#include <cmath>
#include <cstdint>
#include <vector>

using TSignal = std::vector<float>;

constexpr double PI = 3.14159265358979323846;

// Deterministic on every platform (unlike the standard distributions): the same seed gives the
// same numbers, so the generated files are byte-identical from run to run.
class TRandom {
  public:
    explicit TRandom(uint64_t seed) : State(seed * 0x9E3779B97F4A7C15ull + 0x632BE59BD9B4E019ull) {}
    uint64_t Next();
    double Uniform() { return double(Next() >> 11) * (1.0 / 9007199254740992.0); } // 0 <= x < 1
    double Range(double lo, double hi) { return lo + (hi - lo) * Uniform(); }
    float Noise() { return float(Uniform() * 2.0 - 1.0); } // white, -1..1

  private:
    uint64_t State;
};

// RBJ biquad; coefficients for a sample rate, cut-off or centre frequency in Hz and Q.
class TBiquad {
  public:
    static TBiquad LowPass(double rate, double freq, double q = 0.7071);
    static TBiquad HighPass(double rate, double freq, double q = 0.7071);
    static TBiquad BandPass(double rate, double freq, double q); // 0 dB peak gain
    float Step(float x);
    // Takes another filter's coefficients but keeps this one's state (for gliding filters).
    void SetCoefficientsFrom(const TBiquad& other);
    void Reset() { X1 = X2 = Y1 = Y2 = 0; }
    void Process(TSignal& s);
    // For loops: runs the filter over the buffer once to settle, then again for the output, so
    // the filter state at the loop start equals the state at its end (no seam).
    void ProcessCircular(TSignal& s);

  private:
    double B0 = 1, B1 = 0, B2 = 0, A1 = 0, A2 = 0;
    double X1 = 0, X2 = 0, Y1 = 0, Y2 = 0;
};

// Linear ramps from the ends: in and out in seconds. Keeps one-shot sounds click-free.
void FadeEdges(TSignal& s, int rate, double fadeIn, double fadeOut);
// Scales so that the largest magnitude equals `peak` (no-op on silence).
void NormalizePeak(TSignal& s, float peak);
float Peak(const TSignal& s);
double Rms(const TSignal& s);
// Smooth saturation that never exceeds ±1.
void SoftClip(TSignal& s, float drive);
// Rounded 16-bit PCM; values are clamped first, so the result never wraps.
std::vector<int16_t> ToPCM16(const TSignal& s);
// Adds `src` into `dst` starting at frame `at`, scaled; what passes the end is dropped.
void MixInto(TSignal& dst, const TSignal& src, size_t at, float gain);
// Exponential decay envelope value: 1 at t = 0, 1/e after `tau` seconds.
inline double Decay(double t, double tau) {
    return t < 0 ? 0.0 : std::exp(-t / tau);
}
