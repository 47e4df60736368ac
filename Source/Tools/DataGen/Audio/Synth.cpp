#include "Synth.h"

#include <algorithm>
#include <cmath>

uint64_t TRandom::Next() {
    // splitmix64: tiny, fast and well mixed.
    uint64_t z = (State += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

namespace {
struct TCoefficients {
    double W0, Cos, Alpha;
};
TCoefficients Prepare(double rate, double freq, double q) {
    freq = std::clamp(freq, 1.0, rate * 0.49);
    double w0 = 2 * PI * freq / rate;
    return {w0, std::cos(w0), std::sin(w0) / (2 * q)};
}
} // namespace

TBiquad TBiquad::LowPass(double rate, double freq, double q) {
    auto c = Prepare(rate, freq, q);
    double a0 = 1 + c.Alpha;
    TBiquad f;
    f.B0 = (1 - c.Cos) / 2 / a0;
    f.B1 = (1 - c.Cos) / a0;
    f.B2 = f.B0;
    f.A1 = -2 * c.Cos / a0;
    f.A2 = (1 - c.Alpha) / a0;
    return f;
}

TBiquad TBiquad::HighPass(double rate, double freq, double q) {
    auto c = Prepare(rate, freq, q);
    double a0 = 1 + c.Alpha;
    TBiquad f;
    f.B0 = (1 + c.Cos) / 2 / a0;
    f.B1 = -(1 + c.Cos) / a0;
    f.B2 = f.B0;
    f.A1 = -2 * c.Cos / a0;
    f.A2 = (1 - c.Alpha) / a0;
    return f;
}

TBiquad TBiquad::BandPass(double rate, double freq, double q) {
    auto c = Prepare(rate, freq, q);
    double a0 = 1 + c.Alpha;
    TBiquad f;
    f.B0 = c.Alpha / a0;
    f.B1 = 0;
    f.B2 = -c.Alpha / a0;
    f.A1 = -2 * c.Cos / a0;
    f.A2 = (1 - c.Alpha) / a0;
    return f;
}

void TBiquad::SetCoefficientsFrom(const TBiquad& other) {
    B0 = other.B0;
    B1 = other.B1;
    B2 = other.B2;
    A1 = other.A1;
    A2 = other.A2;
}

float TBiquad::Step(float xf) {
    double x = xf;
    double y = B0 * x + B1 * X1 + B2 * X2 - A1 * Y1 - A2 * Y2;
    X2 = X1;
    X1 = x;
    Y2 = Y1;
    Y1 = y;
    return float(y);
}

void TBiquad::Process(TSignal& s) {
    for (float& v : s)
        v = Step(v);
}

void TBiquad::ProcessCircular(TSignal& s) {
    for (float v : s)
        Step(v);
    Process(s);
}

void FadeEdges(TSignal& s, int rate, double fadeIn, double fadeOut) {
    size_t in = std::min(s.size(), size_t(fadeIn * rate));
    size_t out = std::min(s.size(), size_t(fadeOut * rate));
    for (size_t i = 0; i < in; ++i)
        s[i] *= float(i) / float(in);
    for (size_t i = 0; i < out; ++i)
        s[s.size() - 1 - i] *= float(i) / float(out);
}

float Peak(const TSignal& s) {
    float p = 0;
    for (float v : s)
        p = std::max(p, std::fabs(v));
    return p;
}

double Rms(const TSignal& s) {
    if (s.empty())
        return 0;
    double sum = 0;
    for (float v : s)
        sum += double(v) * v;
    return std::sqrt(sum / double(s.size()));
}

void NormalizePeak(TSignal& s, float peak) {
    float p = Peak(s);
    if (p <= 0)
        return;
    float k = peak / p;
    for (float& v : s)
        v *= k;
}

void SoftClip(TSignal& s, float drive) {
    float norm = std::tanh(drive);
    for (float& v : s)
        v = std::tanh(v * drive) / norm;
}

std::vector<int16_t> ToPCM16(const TSignal& s) {
    std::vector<int16_t> out(s.size());
    for (size_t i = 0; i < s.size(); ++i) {
        float v = std::clamp(s[i], -1.0f, 1.0f);
        out[i] = int16_t(std::lround(v * 32767.0f));
    }
    return out;
}

void MixInto(TSignal& dst, const TSignal& src, size_t at, float gain) {
    for (size_t i = 0; i < src.size() && at + i < dst.size(); ++i)
        dst[at + i] += src[i] * gain;
}
