#include "Instruments.h"

#include "Synth.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr int DRUM_RATE = 44100; // the hats and cymbals need the top octave
constexpr int TONE_RATE = 22050; // melodic loops are band-limited anyway
constexpr double C4 = 261.6255653;

std::vector<int16_t> Pcm(TSignal s, float peak) {
    NormalizePeak(s, peak);
    return ToPCM16(s);
}

// A drum plays at its recorded pitch on C-4.
TXmInstrument Drum(const char* name, TSignal s, uint8_t volume, uint8_t panning) {
    FadeEdges(s, DRUM_RATE, 0.0, 0.01);
    TXmInstrument ins;
    ins.Name = name;
    ins.Sample.Data = Pcm(std::move(s), 0.95f);
    ins.Sample.Volume = volume;
    ins.Sample.Panning = panning;
    XmTuning(DRUM_RATE, ins.Sample.RelativeNote, ins.Sample.Finetune);
    return ins;
}

TXmInstrument Kick() {
    TSignal s(size_t(0.4 * DRUM_RATE));
    double phase = 0;
    TRandom rnd(1);
    for (size_t i = 0; i < s.size(); ++i) {
        double t = double(i) / DRUM_RATE;
        double f = 48 + 120 * std::exp(-t / 0.03);
        phase += 2 * PI * f / DRUM_RATE;
        double body = std::sin(phase) * std::exp(-t / 0.16);
        double click = rnd.Noise() * std::exp(-t / 0.0015) * 0.5;
        s[i] = float(body + click);
    }
    SoftClip(s, 1.8f);
    return Drum("kick", s, 64, 128);
}

TXmInstrument Snare() {
    TSignal s(size_t(0.3 * DRUM_RATE));
    TSignal noise(s.size());
    TRandom rnd(2);
    for (float& v : noise)
        v = rnd.Noise();
    TBiquad hp = TBiquad::HighPass(DRUM_RATE, 1200);
    hp.Process(noise);
    for (size_t i = 0; i < s.size(); ++i) {
        double t = double(i) / DRUM_RATE;
        double tone = 0.7 * std::sin(2 * PI * 185 * t) * std::exp(-t / 0.05) +
                      0.35 * std::sin(2 * PI * 330 * t) * std::exp(-t / 0.03);
        s[i] = float(tone + 1.1 * noise[i] * std::exp(-t / 0.09));
    }
    SoftClip(s, 1.5f);
    return Drum("snare", s, 56, 128);
}

// Hats and cymbals: a bank of detuned square waves (the metallic clang of a cymbal) over noise,
// high-passed.
TSignal Metal(double seconds, double tau, double highPass, uint64_t seed) {
    const double ratios[6] = {1.0, 1.342, 1.2312, 1.6532, 1.9523, 2.1523};
    TSignal s(size_t(seconds * DRUM_RATE));
    TRandom rnd(seed);
    for (size_t i = 0; i < s.size(); ++i) {
        double t = double(i) / DRUM_RATE;
        double v = 0;
        for (double r : ratios)
            v += std::sin(2 * PI * 540 * r * t) > 0 ? 1 : -1;
        s[i] = float((v / 6 * 0.6 + rnd.Noise()) * std::exp(-t / tau));
    }
    TBiquad hp1 = TBiquad::HighPass(DRUM_RATE, highPass);
    TBiquad hp2 = TBiquad::HighPass(DRUM_RATE, highPass);
    hp1.Process(s);
    hp2.Process(s);
    return s;
}

TXmInstrument Tom() {
    TSignal s(size_t(0.45 * DRUM_RATE));
    double phase = 0;
    TRandom rnd(3);
    for (size_t i = 0; i < s.size(); ++i) {
        double t = double(i) / DRUM_RATE;
        double f = 110 + 70 * std::exp(-t / 0.06);
        phase += 2 * PI * f / DRUM_RATE;
        s[i] = float(std::sin(phase) * std::exp(-t / 0.18) + 0.2 * rnd.Noise() * std::exp(-t / 0.01));
    }
    return Drum("tom", s, 52, 128);
}

// Melodic voice with a loop over the whole sample, tuned so that C-4 plays at C4.
TXmInstrument Tone(const char* name, std::vector<float> loop, double baseFreq, uint8_t volume,
                   uint8_t panning, TXmEnvelope envelope, uint16_t fadeout, float peak) {
    TXmInstrument ins;
    ins.Name = name;
    ins.Sample.Data = Pcm(std::move(loop), peak);
    ins.Sample.Loop = TXmLoop::Forward;
    ins.Sample.LoopStart = 0;
    ins.Sample.LoopLength = uint32_t(ins.Sample.Data.size());
    ins.Sample.Volume = volume;
    ins.Sample.Panning = panning;
    XmTuning(TONE_RATE * C4 / baseFreq, ins.Sample.RelativeNote, ins.Sample.Finetune);
    ins.VolumeEnvelope = std::move(envelope);
    ins.Fadeout = fadeout;
    return ins;
}

double SawSoft(int h) {
    return std::exp(-h / 14.0) / h;
}
double SawDark(int h) {
    return std::exp(-h / 5.0) / h;
}
double Pulse25(int h) {
    return std::fabs(std::sin(PI * h * 0.25)) / h * std::exp(-h / 20.0);
}

} // namespace

std::vector<float> HarmonicLoop(int rate, double baseFreq, int baseCycles,
                                const std::vector<int>& voiceCycles, double (*harmonic)(int), double maxFreq,
                                uint64_t seed, bool zeroPhase, double& actualBaseFreq) {
    // C-4 plays the loop at C4 * n / baseCycles frames per second; pick the length nearest the
    // asked-for pitch whose rate the players can represent exactly.
    const long guess = std::lround(baseCycles * rate / baseFreq);
    size_t n = size_t(guess);
    double bestError = 1e9;
    for (long candidate = guess - 100; candidate <= guess + 100; ++candidate) {
        double rateForC4 = C4 * double(candidate) / baseCycles;
        double error = std::fabs(std::log2(XmTuningGridRate(rateForC4) / rateForC4)) +
                       1e-3 * std::fabs(double(candidate - guess)) / double(guess);
        if (error < bestError) {
            bestError = error;
            n = size_t(candidate);
        }
    }
    actualBaseFreq = double(baseCycles) * rate / double(n);
    std::vector<double> acc(n, 0.0);
    TRandom rnd(seed);
    for (int cycles : voiceCycles) {
        const double voiceFreq = double(cycles) * rate / double(n);
        for (int h = 1; voiceFreq * h < maxFreq; ++h) {
            double a = harmonic(h);
            double phase = zeroPhase ? 0.0 : rnd.Range(0, 2 * PI);
            // h * cycles whole turns over the loop: the sum closes exactly on itself.
            double step = 2 * PI * double(h) * cycles / double(n);
            // Rotate a phasor instead of calling sin per frame; renormalised every 1024 frames.
            double c = std::cos(step), s = std::sin(step);
            double re = std::cos(phase), im = std::sin(phase);
            for (size_t i = 0; i < n; ++i) {
                acc[i] += a * im;
                double nre = re * c - im * s;
                im = re * s + im * c;
                re = nre;
                if ((i & 1023) == 1023) {
                    double angle = phase + step * double(i + 1);
                    re = std::cos(angle);
                    im = std::sin(angle);
                }
            }
        }
    }
    return std::vector<float>(acc.begin(), acc.end());
}

std::vector<TXmInstrument> MakeInstruments() {
    std::vector<TXmInstrument> out;
    out.push_back(Kick());
    out.push_back(Snare());
    out.push_back(Drum("hihat", Metal(0.09, 0.018, 7000, 4), 40, 150));
    out.push_back(Drum("open hihat", Metal(0.45, 0.12, 6500, 5), 36, 150));
    out.push_back(Drum("crash", Metal(1.4, 0.45, 4000, 6), 44, 110));
    out.push_back(Tom());

    double f = 0;
    // Bass: a dark saw with its fundamental doubled by a sine; a pluck that settles to a sustain.
    std::vector<float> bass = HarmonicLoop(TONE_RATE, 65.406, 32, {32}, SawDark, 3000, 7, true, f);
    double fBass = f;
    std::vector<float> sub = HarmonicLoop(
        TONE_RATE, 65.406, 32, {32}, [](int h) { return h == 1 ? 1.0 : 0.0; }, 3000, 8, true, f);
    for (size_t i = 0; i < bass.size(); ++i)
        bass[i] += 0.6f * sub[i];
    out.push_back(Tone("bass", bass, fBass, 48, 128, {{{0, 64}, {5, 46}, {60, 34}}, 2}, 1500, 0.9f));

    // Lead: five detuned saws (about ±14 cents) over 256 cycles.
    std::vector<float> lead =
        HarmonicLoop(TONE_RATE, C4, 256, {254, 255, 256, 257, 258}, SawSoft, 7000, 9, false, f);
    out.push_back(Tone("lead", lead, f, 42, 128, {{{0, 0}, {1, 64}, {10, 52}, {40, 44}}, 3}, 900, 0.9f));

    // Pluck: two slightly detuned 25 % pulses that die away quickly (arpeggios).
    std::vector<float> pluck = HarmonicLoop(TONE_RATE, C4, 128, {128, 129}, Pulse25, 7000, 10, true, f);
    out.push_back(Tone("pluck", pluck, f, 40, 90, {{{0, 64}, {3, 40}, {10, 16}, {24, 0}}, -1}, 0, 0.9f));

    // Pad: seven darker saws spread wider, slow attack and release.
    std::vector<float> pad =
        HarmonicLoop(TONE_RATE, C4, 256, {251, 253, 255, 256, 257, 259, 261}, SawDark, 4000, 11, false, f);
    out.push_back(Tone("pad", pad, f, 30, 128, {{{0, 0}, {24, 52}, {60, 44}}, 2}, 400, 0.9f));

    // Bell: a struck, decaying sample (no loop) for the quiet pieces.
    {
        // Pitched so that the rate C-4 really plays it at gives exactly C4.
        const double rateForC4 = XmTuningGridRate(TONE_RATE);
        const double pitch = C4 * TONE_RATE / rateForC4;
        TSignal s(size_t(2.0 * TONE_RATE));
        const std::pair<double, double> partials[] = {
            {1.0, 1.0}, {2.0, 0.4}, {3.01, 0.2}, {4.2, 0.12}, {5.43, 0.08}};
        for (size_t i = 0; i < s.size(); ++i) {
            double t = double(i) / TONE_RATE;
            double v = 0;
            for (auto [r, g] : partials)
                v += g * std::sin(2 * PI * pitch * r * t) * std::exp(-t * (0.8 + 1.5 * r));
            s[i] = float(v * std::min(1.0, t / 0.002));
        }
        FadeEdges(s, TONE_RATE, 0.0, 0.05);
        TXmInstrument ins;
        ins.Name = "bell";
        ins.Sample.Data = Pcm(std::move(s), 0.9f);
        ins.Sample.Volume = 48;
        // Held at full until released, then faded: a release never cuts the ring dead.
        ins.VolumeEnvelope = {{{0, 64}, {8, 64}}, 1};
        ins.Fadeout = 1024;
        XmTuning(rateForC4, ins.Sample.RelativeNote, ins.Sample.Finetune);
        out.push_back(ins);
    }
    return out;
}
