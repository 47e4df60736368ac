#include "SoundEffects.h"
#include "tables/CarModelTable.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double R = SFX_RATE;

TSignal Silence(double seconds) {
    return TSignal(size_t(seconds * R + 0.5), 0.0f);
}

// A struck tone: partials at the given frequency ratios, each with its own gain and decay; the
// higher partials die faster, which is what makes a chime sound like metal and not like an organ.
void AddBell(TSignal& s, double start, double freq, double gain, double tau,
             const std::vector<std::pair<double, double>>& partials) {
    size_t first = size_t(start * R);
    size_t length = size_t(tau * 6 * R);
    for (size_t i = 0; i < length && first + i < s.size(); ++i) {
        double t = double(i) / R;
        double attack = std::min(1.0, t / 0.002); // 2 ms: no click at the strike
        double v = 0;
        for (auto [ratio, g] : partials) {
            if (freq * ratio > R * 0.45)
                continue;
            v += g * std::sin(2 * PI * freq * ratio * t) * Decay(t, tau / (0.6 + ratio * 0.4));
        }
        s[first + i] += float(gain * attack * v);
    }
}

const std::vector<std::pair<double, double>> BELL = {{1.0, 1.0}, {2.0, 0.35}, {2.76, 0.25}, {5.4, 0.1}};
const std::vector<std::pair<double, double>> BLIP = {{1.0, 1.0}, {2.0, 0.15}};

// Noise through a band-pass whose centre glides from f0 to f1 (exponentially) under an envelope.
void AddSweptNoise(TSignal& s, TRandom& rnd, double start, double dur, double f0, double f1, double q,
                   double gain, double attack, double tau) {
    size_t first = size_t(start * R);
    size_t length = size_t(dur * R);
    TBiquad filter = TBiquad::BandPass(R, f0, q);
    for (size_t i = 0; i < length && first + i < s.size(); ++i) {
        double t = double(i) / R;
        if (i % 32 == 0) {
            double f = f0 * std::pow(f1 / f0, std::min(1.0, t / dur));
            // Coefficients change every 32 frames (smooth enough for a glide); the state is kept.
            TBiquad next = TBiquad::BandPass(R, f, q);
            filter.SetCoefficientsFrom(next);
        }
        double env = std::min(1.0, t / attack) * Decay(std::max(0.0, t - attack), tau);
        s[first + i] += float(gain * env * filter.Step(rnd.Noise()));
    }
}

// A falling sine "thump": the body of an impact.
void AddThump(TSignal& s, double start, double f0, double f1, double gain, double tau) {
    size_t first = size_t(start * R);
    size_t length = size_t(tau * 6 * R);
    double phase = 0;
    for (size_t i = 0; i < length && first + i < s.size(); ++i) {
        double t = double(i) / R;
        double f = f1 + (f0 - f1) * Decay(t, tau * 0.5);
        phase += 2 * PI * f / R;
        s[first + i] += float(gain * std::min(1.0, t / 0.001) * Decay(t, tau) * std::sin(phase));
    }
}

// Finishing of a one-shot: trims the DC, fades both ends and sets the peak level.
TGeneratedSound OneShot(const std::string& path, TSignal s, float peak) {
    TBiquad dc = TBiquad::HighPass(R, 30);
    dc.Process(s);
    FadeEdges(s, SFX_RATE, 0.002, 0.02);
    NormalizePeak(s, peak);
    return {path, std::move(s), false};
}

// A circular signal may start anywhere; starting it in its quietest 2 ms (the gap before a firing)
// puts the loop point where nothing happens, so even a player that restarts the sample with a
// small gap will not click.
void RotateToQuietest(TSignal& s) {
    const size_t n = s.size();
    const size_t window = size_t(0.002 * R);
    if (n <= window)
        return;
    double energy = 0;
    for (size_t i = 0; i < window; ++i)
        energy += double(s[i]) * s[i];
    double best = energy;
    size_t bestStart = 0;
    for (size_t i = 1; i < n; ++i) {
        double leaving = s[i - 1], entering = s[(i + window - 1) % n];
        energy += entering * entering - leaving * leaving;
        if (energy < best) {
            best = energy;
            bestStart = i;
        }
    }
    std::rotate(s.begin(), s.begin() + long(bestStart + window / 2) % long(n), s.end());
}

// ---- menu and race signals ----

TGeneratedSound MenuHover() {
    TSignal s = Silence(0.09);
    AddBell(s, 0, 1318.5, 1.0, 0.018, BLIP); // E6, a short soft tick
    return OneShot("sound/menu_hover.wav", s, 0.55f);
}

TGeneratedSound MenuEnter() {
    TSignal s = Silence(0.32);
    AddBell(s, 0.0, 783.99, 0.8, 0.05, BELL);  // G5
    AddBell(s, 0.07, 1174.7, 1.0, 0.08, BELL); // D6: rising fifth, "go in"
    return OneShot("sound/menu_enter.wav", s, 0.65f);
}

TGeneratedSound MenuLeave() {
    TSignal s = Silence(0.32);
    AddBell(s, 0.0, 1174.7, 0.8, 0.05, BELL);
    AddBell(s, 0.07, 783.99, 1.0, 0.08, BELL); // falling fifth, "go back"
    return OneShot("sound/menu_leave.wav", s, 0.65f);
}

TGeneratedSound Checkpoint() {
    TSignal s = Silence(0.9);
    const double notes[] = {1046.5, 1318.5, 1568.0, 2093.0}; // C6 E6 G6 C7
    for (int i = 0; i < 4; ++i)
        AddBell(s, 0.055 * i, notes[i], i == 3 ? 1.0 : 0.7, i == 3 ? 0.22 : 0.08, BELL);
    return OneShot("sound/checkpoint.wav", s, 0.85f);
}

// A square-ish beep: odd partials, the classic start-light sound.
void AddBeep(TSignal& s, double start, double dur, double freq, double gain) {
    size_t first = size_t(start * R);
    size_t length = size_t(dur * R);
    for (size_t i = 0; i < length && first + i < s.size(); ++i) {
        double t = double(i) / R;
        double env = std::min(1.0, t / 0.003) * std::min(1.0, (dur - t) / 0.03);
        double v = 0;
        for (int k = 1; k <= 9 && freq * k < R * 0.45; k += 2)
            v += std::sin(2 * PI * freq * k * t) / k;
        s[first + i] += float(gain * env * v);
    }
}

TGeneratedSound TimerTick() {
    TSignal s = Silence(0.22);
    AddBeep(s, 0, 0.16, 880, 1.0); // A5
    return OneShot("sound/timer_tick.wav", s, 0.5f); // a square beep is loud for its peak
}

TGeneratedSound TimerGo() {
    TSignal s = Silence(0.75);
    AddBeep(s, 0, 0.65, 1760, 0.7); // A6, an octave above the ticks
    AddBeep(s, 0, 0.65, 880, 0.5);
    return OneShot("sound/timer_go.wav", s, 0.55f);
}

// ---- impacts ----

// Short noise clicks scattered over a span with falling density: debris and rattles.
void AddDebris(TSignal& s, TRandom& rnd, double start, double span, int count, double freq, double gain) {
    for (int i = 0; i < count; ++i) {
        double u = rnd.Uniform();
        double t0 = start + span * u * u; // denser near the start
        double g = gain * (1.0 - 0.7 * u) * rnd.Range(0.4, 1.0);
        TBiquad bp = TBiquad::BandPass(R, freq * rnd.Range(0.6, 1.6), 2.0);
        size_t first = size_t(t0 * R);
        size_t length = size_t(0.012 * R);
        for (size_t k = 0; k < length && first + k < s.size(); ++k)
            s[first + k] += float(g * Decay(double(k) / R, 0.003) * bp.Step(rnd.Noise()) * 4.0);
    }
}

TGeneratedSound Crash1() {
    TRandom rnd(101);
    TSignal s = Silence(1.0);
    AddThump(s, 0, 140, 45, 1.0, 0.09);
    AddSweptNoise(s, rnd, 0, 0.6, 2500, 500, 0.7, 1.6, 0.003, 0.08);
    // The sheet metal ringing on: a few inharmonic partials.
    const double metal[] = {417, 1133, 1871, 2649, 3310};
    for (int i = 0; i < 5; ++i)
        AddBell(s, 0.004 * i, metal[i], 0.25 / (1 + i * 0.3), 0.12 + 0.05 * i, {{1.0, 1.0}});
    AddDebris(s, rnd, 0.05, 0.7, 40, 2500, 0.5);
    SoftClip(s, 1.5f);
    return OneShot("sound/sfx_crash1.wav", s, 0.9f);
}

TGeneratedSound Crash2() {
    TRandom rnd(202);
    TSignal s = Silence(1.2);
    AddThump(s, 0, 110, 38, 1.0, 0.12);
    AddSweptNoise(s, rnd, 0, 0.5, 1500, 300, 0.6, 1.8, 0.002, 0.1);
    AddDebris(s, rnd, 0.02, 0.35, 60, 1200, 0.6); // crunch
    // Breaking glass: many short high pings.
    for (int i = 0; i < 45; ++i) {
        double u = rnd.Uniform();
        AddBell(s, 0.03 + 0.8 * u * u, rnd.Range(3000, 7500), 0.12 * (1 - 0.6 * u), 0.03,
                {{1.0, 1.0}, {1.5, 0.4}});
    }
    SoftClip(s, 1.5f);
    return OneShot("sound/sfx_crash2.wav", s, 0.9f);
}

// Wet splash: a downward noise sweep, a thud and a few bubble blips that rise in pitch.
void AddBubbles(TSignal& s, TRandom& rnd, double start, double span, int count, double gain) {
    for (int i = 0; i < count; ++i) {
        double t0 = start + span * rnd.Uniform();
        double f0 = rnd.Range(300, 900);
        size_t first = size_t(t0 * R);
        size_t length = size_t(0.04 * R);
        double phase = 0;
        for (size_t k = 0; k < length && first + k < s.size(); ++k) {
            double t = double(k) / R;
            phase += 2 * PI * f0 * (1 + 8 * t) / R;
            s[first + k] += float(gain * std::sin(phase) * Decay(t, 0.01) * std::min(1.0, t / 0.001));
        }
    }
}

TGeneratedSound Splash1() {
    TRandom rnd(303);
    TSignal s = Silence(0.8);
    AddThump(s, 0, 120, 50, 0.8, 0.06);
    AddSweptNoise(s, rnd, 0, 0.55, 1800, 250, 1.2, 2.0, 0.004, 0.12);
    AddBubbles(s, rnd, 0.05, 0.45, 14, 0.35);
    return OneShot("sound/splash1.wav", s, 0.85f);
}

TGeneratedSound Splash2() {
    TRandom rnd(404);
    TSignal s = Silence(0.5);
    AddThump(s, 0, 160, 60, 1.0, 0.05); // a dull bump, softer than the gory version
    AddSweptNoise(s, rnd, 0, 0.3, 900, 300, 0.9, 0.8, 0.003, 0.06);
    return OneShot("sound/splash2.wav", s, 0.8f);
}

// A scream: a harmonic voice source whose pitch follows a rise-and-fall contour with vibrato and
// jitter, shaped by the formants of an open "aah" and roughened by breath noise and saturation.
TGeneratedSound Scream(const std::string& path, uint64_t seed, double pitchLow, double pitchHigh,
                       const double (&formants)[3], double dur) {
    TRandom rnd(seed);
    TSignal source = Silence(dur);
    TBiquad jitterFilter = TBiquad::LowPass(R, 20);
    double phase = 0;
    for (size_t i = 0; i < source.size(); ++i) {
        double t = double(i) / R;
        double u = t / dur;
        double contour = pitchLow + (pitchHigh - pitchLow) * std::sin(PI * std::min(1.0, u * 1.6)) *
                                        (u < 0.6 ? 1.0 : 1.0 - (u - 0.6) * 0.8);
        double vibrato = 1 + 0.03 * std::sin(2 * PI * 6.5 * t);
        double jitter = 1 + 0.6 * jitterFilter.Step(rnd.Noise());
        double f0 = contour * vibrato * jitter;
        phase += 2 * PI * f0 / R;
        double v = 0;
        for (int k = 1; k <= 30 && f0 * k < 5500; ++k)
            v += std::sin(phase * k) / std::pow(k, 0.9);
        double env = std::min(1.0, t / 0.05) * std::min(1.0, (dur - t) / 0.25);
        source[i] = float(env * (v + 0.8 * rnd.Noise()));
    }
    TSignal s(source.size(), 0.0f);
    const double gains[3] = {1.0, 0.7, 0.35};
    for (int f = 0; f < 3; ++f) {
        TSignal band = source;
        TBiquad bp = TBiquad::BandPass(R, formants[f], 5.0);
        bp.Process(band);
        MixInto(s, band, 0, float(gains[f]));
    }
    NormalizePeak(s, 1.0f);
    SoftClip(s, 2.0f);
    return OneShot(path, s, 0.6f); // dense and loud for its peak: held back to sit with the crashes
}

// ---- skid: a loop ----

// Tyre squeal: a tone whose pitch wanders (filtered noise) over a hiss band. The pitch wander and
// the phase are made periodic over the loop, so it runs on seamlessly when looped.
TGeneratedSound Skid() {
    TRandom rnd(505);
    const size_t n = size_t(1.2 * R);
    TSignal wander(n);
    for (float& v : wander)
        v = rnd.Noise();
    TBiquad lp = TBiquad::LowPass(R, 8);
    lp.ProcessCircular(wander);
    NormalizePeak(wander, 1.0f);
    // Phase increments of the squeal, scaled so that the loop holds a whole number of cycles.
    std::vector<double> step(n);
    double total = 0;
    for (size_t i = 0; i < n; ++i)
        total += step[i] = 2 * PI * 1050.0 * (1 + 0.06 * wander[i]) / R;
    double cycles = std::round(total / (2 * PI));
    double scale = cycles * 2 * PI / total;
    TSignal s(n);
    TSignal hiss(n);
    for (float& v : hiss)
        v = rnd.Noise();
    TBiquad bp = TBiquad::BandPass(R, 1800, 1.5);
    bp.ProcessCircular(hiss);
    double phase = 0;
    for (size_t i = 0; i < n; ++i) {
        double a = 0.8 + 0.2 * std::sin(2 * PI * 5 * double(i) / double(n)); // 5 swells per loop
        double tone = std::sin(phase) + 0.3 * std::sin(2 * phase) + 0.15 * std::sin(3 * phase);
        s[i] = float(a * (0.6 * tone + 1.5 * hiss[i]));
        phase += step[i] * scale;
    }
    NormalizePeak(s, 0.8f);
    RotateToQuietest(s);
    return {"sound/skid.wav", std::move(s), true};
}

// ---- cargo and map ----

TGeneratedSound CargoLoad() {
    TRandom rnd(606);
    TSignal s = Silence(0.7);
    AddThump(s, 0, 200, 70, 0.9, 0.05);
    AddBell(s, 0.005, 1480, 0.3, 0.04, {{1.0, 1.0}, {2.7, 0.5}}); // metal latch
    AddDebris(s, rnd, 0.0, 0.08, 6, 3000, 0.3);
    AddBell(s, 0.16, 1046.5, 0.6, 0.09, BELL); // C6 then G6: "got it"
    AddBell(s, 0.26, 1568.0, 0.7, 0.15, BELL);
    return OneShot("sound/cargo_load.wav", s, 0.8f);
}

TGeneratedSound CargoUnload() {
    TRandom rnd(707);
    TSignal s = Silence(0.7);
    AddBell(s, 0.0, 1568.0, 0.6, 0.09, BELL);
    AddBell(s, 0.1, 1046.5, 0.6, 0.12, BELL);
    AddThump(s, 0.3, 180, 60, 1.0, 0.06); // set down
    AddBell(s, 0.305, 1320, 0.25, 0.04, {{1.0, 1.0}, {2.7, 0.5}});
    AddDebris(s, rnd, 0.3, 0.1, 6, 2500, 0.3);
    return OneShot("sound/cargo_unload.wav", s, 0.8f);
}

TGeneratedSound CityMap() {
    TRandom rnd(808);
    TSignal s = Silence(0.5);
    // A paper swish unfolding upwards, then a soft high tick as the map settles.
    AddSweptNoise(s, rnd, 0, 0.35, 500, 3500, 1.0, 1.0, 0.12, 0.06);
    AddBell(s, 0.17, 2637, 0.25, 0.05, BLIP); // E7
    return OneShot("sound/city_map.wav", s, 0.6f);
}

// ---- cars ----

// One car's engine at a steady, idle-like speed. The loop holds a whole number of engine cycles
// (two crank turns); every firing is a decaying pair of exhaust resonances, with per-cylinder
// level and timing offsets (the lope of a cross-plane V8, the evenness of a straight six),
// optional diesel knock, valve ticks and a fan or turbo whine. Everything is rendered circularly,
// so the loop has no seam, and the game's speed-dependent playback rate shifts it all evenly.
struct TEngineSpec {
    int CarType; // the car whose engine.wav this is
    uint64_t Seed;
    int Cylinders;
    double Rpm;
    double LoopSeconds;
    double Res1, Res2; // exhaust resonances, Hz
    double Tau1, Tau2; // their decays, s
    double Res2Gain;
    std::vector<double> CylinderGain;   // per cylinder in firing order
    std::vector<double> CylinderOffset; // timing offset in firing intervals
    double Jitter;                      // random firing level spread
    double Knock;                       // combustion noise per firing: diesel knock, or exhaust rasp when low
    double KnockFreq;
    double Ticks; // valve/tappet tick level
    double WhineFreq, WhineGain;
    double LowPass;
    double Drive; // saturation
};

// A sound file in a player car's folder ("cars/liaz/engine.wav").
std::string CarSoundPath(int carType, const char* file) {
    return std::string("cars/") + CarModelTable[carType].Directory + "/" + file;
}

TGeneratedSound Engine(const TEngineSpec& e) {
    TRandom rnd(e.Seed);
    const double cycleSeconds = 120.0 / e.Rpm; // four-stroke: every cylinder fires once per two turns
    const int cycles = std::max(1, int(std::lround(e.LoopSeconds / cycleSeconds)));
    const size_t n = size_t(std::lround(cycles * cycleSeconds * R));
    const int firings = cycles * e.Cylinders;
    const double interval = double(n) / firings; // frames between firings (fractional)

    TSignal body(n, 0.0f), knock(n, 0.0f), tick(n, 0.0f);
    const size_t pulseLength = size_t(std::max(e.Tau1, e.Tau2) * 7 * R);
    for (int f = 0; f < firings; ++f) {
        int cylinder = f % e.Cylinders;
        double gain = e.CylinderGain.empty() ? 1.0 : e.CylinderGain[size_t(cylinder) % e.CylinderGain.size()];
        gain *= 1 + e.Jitter * rnd.Noise();
        double offset =
            e.CylinderOffset.empty() ? 0.0 : e.CylinderOffset[size_t(cylinder) % e.CylinderOffset.size()];
        double pos = (f + offset) * interval + 0.15 * interval * e.Jitter * rnd.Noise();
        pos = std::fmod(pos + n, double(n));
        size_t start = size_t(pos);
        double frac = pos - double(start);
        for (size_t k = 0; k < pulseLength; ++k) {
            double t = (double(k) - frac) / R;
            if (t < 0)
                continue;
            double v = std::sin(2 * PI * e.Res1 * t) * Decay(t, e.Tau1) +
                       e.Res2Gain * std::sin(2 * PI * e.Res2 * t) * Decay(t, e.Tau2);
            body[(start + k) % n] += float(gain * v * std::min(1.0, t / 0.0008));
        }
        if (e.Knock > 0) {
            size_t length = size_t(0.006 * R);
            for (size_t k = 0; k < length; ++k)
                knock[(start + k) % n] += float(gain * rnd.Noise() * Decay(double(k) / R, 0.0015));
        }
    }
    if (e.Ticks > 0) // valve train: one light tick per valve event, not tied to the firing level
        for (int f = 0; f < firings * 2; ++f) {
            size_t start = size_t((f + 0.3 + 0.1 * rnd.Noise()) * interval / 2) % n;
            for (size_t k = 0; k < size_t(0.002 * R); ++k)
                tick[(start + k) % n] += float(rnd.Noise() * Decay(double(k) / R, 0.0005));
        }

    TBiquad knockBand = TBiquad::BandPass(R, e.KnockFreq, 1.2);
    knockBand.ProcessCircular(knock);
    TBiquad tickBand = TBiquad::HighPass(R, 3500);
    tickBand.ProcessCircular(tick);
    TSignal s(n);
    for (size_t i = 0; i < n; ++i) {
        double whine = 0;
        if (e.WhineGain > 0) {
            // Whole number of whine cycles per loop, so it too is seamless.
            double cyclesPerLoop = std::round(e.WhineFreq * double(n) / R);
            whine = e.WhineGain * std::sin(2 * PI * cyclesPerLoop * double(i) / double(n));
        }
        s[i] = float(body[i] + 3.0 * e.Knock * knock[i] + e.Ticks * tick[i] + whine);
    }
    NormalizePeak(s, 1.0f);
    SoftClip(s, float(e.Drive));
    TBiquad lp = TBiquad::LowPass(R, e.LowPass, 0.8);
    lp.ProcessCircular(s);
    TBiquad dc = TBiquad::HighPass(R, 25);
    dc.ProcessCircular(s);
    // Same loudness for every car (RMS -12 dBFS), unless that would push the peak past -2 dBFS.
    NormalizePeak(s, float(std::min(0.8, 0.25 * Peak(s) / Rms(s))));
    RotateToQuietest(s);
    return {CarSoundPath(e.CarType, "engine.wav"), std::move(s), true};
}

// Horns: two (or three) reed tones through the horn's resonance, slightly saturated.
TGeneratedSound Horn(const std::string& path, std::vector<double> tones, double resonance, double dur,
                     double drive) {
    TSignal s = Silence(dur);
    for (size_t i = 0; i < s.size(); ++i) {
        double t = double(i) / R;
        double v = 0;
        for (double f : tones)
            for (int k = 1; k <= 40 && f * k < R * 0.45; ++k)
                v += std::sin(2 * PI * f * k * t + k * 0.7) / k; // bright, saw-like reed
        double env = std::min(1.0, t / 0.015) * std::min(1.0, (dur - t) / 0.04);
        s[i] = float(env * v / double(tones.size()));
    }
    TBiquad body = TBiquad::BandPass(R, resonance, 1.2);
    TSignal shaped = s;
    body.Process(shaped);
    for (size_t i = 0; i < s.size(); ++i)
        s[i] = 0.3f * s[i] + shaped[i];
    NormalizePeak(s, 1.0f);
    SoftClip(s, float(drive));
    return OneShot(path, s, 0.85f);
}

} // namespace

std::vector<TGeneratedSound> MakeSoundEffects() {
    const double female[3] = {950, 1400, 2900};
    const double male[3] = {750, 1150, 2500};
    std::vector<TGeneratedSound> out;
    out.push_back(MenuHover());
    out.push_back(MenuEnter());
    out.push_back(MenuLeave());
    out.push_back(Checkpoint());
    out.push_back(Crash1());
    out.push_back(Crash2());
    out.push_back(Splash1());
    out.push_back(Splash2());
    out.push_back(Scream("sound/scream1.wav", 909, 520, 820, female, 1.2));
    out.push_back(Scream("sound/scream2.wav", 910, 260, 420, male, 1.1));
    out.push_back(Skid());
    out.push_back(TimerTick());
    out.push_back(TimerGo());
    out.push_back(CargoLoad());
    out.push_back(CargoUnload());
    out.push_back(CityMap());
    return out;
}

std::vector<TGeneratedSound> MakeCarSounds() {
    const std::vector<double> v8Gain = {1.0, 0.65, 0.9, 0.7, 1.0, 0.6, 0.85, 0.75};
    const std::vector<double> v8Offset = {0, 0.12, -0.06, 0.1, 0, 0.14, -0.08, 0.06};
    const std::vector<double> bigV8Gain = {1.0, 0.55, 0.95, 0.6, 1.0, 0.5, 0.9, 0.65};
    const std::vector<double> bigV8Offset = {0, 0.18, -0.1, 0.15, 0, 0.2, -0.12, 0.1};
    // clang-format off
    std::vector<TEngineSpec> engines = {
        // car type, seed, cylinders, rpm, loop s, resonance 1 and 2 (Hz), their decays (s), resonance 2 gain,
        // cylinder gains, cylinder offsets, jitter, knock, knock Hz, ticks, whine Hz, whine gain, low-pass Hz, drive
        {3, 11, 6, 600, 1.0,  65, 150, 0.018, 0.008, 0.6, {}, {}, 0.12,
         0.9, 1800, 0.0, 0, 0, 3500, 2.0},    // Liaz: heavy six-cylinder diesel: deep thud and clatter
        {5, 12, 4, 850, 1.0, 105, 260, 0.012, 0.006, 0.6, {}, {}, 0.10,
         0.6, 2400, 0.0, 0, 0, 4500, 1.8},    // Avia: light diesel truck
        {6, 13, 4, 800, 1.0, 125, 320, 0.011, 0.005, 0.5, {}, {}, 0.08,
         0.45, 2600, 0.0, 2300, 0.02, 5000, 1.6}, // Transit: van diesel with a faint turbo whistle
        {0, 14, 8, 800, 1.0,  85, 210, 0.016, 0.007, 0.5, v8Gain, v8Offset, 0.08,
         0.35, 750, 0.0, 0, 0, 3500, 2.2},    // Mustang: V8 burble
        {4, 15, 8, 650, 1.0,  70, 170, 0.020, 0.008, 0.5, bigV8Gain, bigV8Offset, 0.10,
         0.35, 600, 0.0, 0, 0, 3000, 2.5},    // Chevy: big-block V8, slower and lumpier
        {2, 16, 6, 850, 1.0, 120, 360, 0.010, 0.005, 0.7, {}, {}, 0.03,
         0.15, 1500, 0.05, 0, 0, 6000, 1.4},  // BMW: smooth straight six
        {1, 17, 4, 900, 1.0, 160, 420, 0.009, 0.004, 0.6, {}, {}, 0.05,
         0.2, 1200, 0.08, 0, 0, 5000, 1.5},   // VW Golf: small petrol four
        {7, 18, 4, 950, 1.0, 210, 520, 0.007, 0.004, 0.8, {}, {}, 0.12,
         0.0, 0, 0.25, 1650, 0.03, 6500, 2.0}, // Skoda 120: small rear four: thin, tappety, fan whirring behind
    };
    // clang-format on
    std::vector<TGeneratedSound> out;
    for (const TEngineSpec& e : engines)
        out.push_back(Engine(e));
    // Liaz, Avia, Transit, Mustang, Chevy, BMW, VW Golf, Skoda 120.
    out.push_back(
        Horn(CarSoundPath(3, "horn.wav"), {164.8, 207.7, 246.9}, 600, 0.8, 2.0)); // Liaz: air horn, E major
    out.push_back(Horn(CarSoundPath(5, "horn.wav"), {277.2, 349.2}, 900, 0.55, 2.0));
    out.push_back(Horn(CarSoundPath(6, "horn.wav"), {392.0, 493.9}, 1200, 0.45, 1.8));
    out.push_back(Horn(CarSoundPath(0, "horn.wav"), {311.1, 392.0}, 1000, 0.5, 2.2));
    out.push_back(Horn(CarSoundPath(4, "horn.wav"), {261.6, 329.6}, 850, 0.55, 2.2));
    out.push_back(Horn(CarSoundPath(2, "horn.wav"), {370.0, 466.2}, 1300, 0.45, 1.6));
    out.push_back(Horn(CarSoundPath(1, "horn.wav"), {415.3, 523.3}, 1400, 0.4, 1.7));
    out.push_back(
        Horn(CarSoundPath(7, "horn.wav"), {440.0}, 1600, 0.4, 3.0)); // Skoda 120: one thin buzzing tone
    return out;
}
