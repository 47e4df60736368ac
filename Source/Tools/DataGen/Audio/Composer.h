// Turns written-out music into XM patterns: a section is a few bars with one chord per bar, a lead
// melody in a compact note/length notation and a choice of drum, bass, arpeggio and pad parts; a
// piece is a list of sections placed at a fixed order position, which loops back to its own start.
#pragma once

#include "XmWriter.h"

#include <string>
#include <unordered_map>
#include <vector>

constexpr int ROWS_PER_BAR = 16; // sixteenth notes
constexpr int MUSIC_CHANNELS = 12;

// Channels of every pattern.
enum TMusicChannel {
    CH_KICK,
    CH_SNARE,
    CH_HAT,
    CH_CRASH, // crash cymbal and tom fills
    CH_BASS,
    CH_LEAD,
    CH_ECHO, // the lead again, later and softer
    CH_ARP,
    CH_PAD1,
    CH_PAD2,
    CH_PAD3,
    CH_CONTROL // tempo and order jumps only
};

enum class TDrums { None, Four, Break, Half, Sparse };
enum class TBass { None, Long, Pump, Offbeat, Groove };
enum class TArp { None, Up, UpDown, Eighths, Chip };

struct TSection {
    std::vector<std::string> Chords; // one per bar: "Am", "F", "C#m", "Bb", "G7", "Esus4"
    // Lead: tokens NOTE/rows or r/rows ("E5/4 A5/2 r/2 ..."), NOTE alone lasts 2 rows; a rest
    // releases the note. Empty: no lead in this section.
    std::string Melody;
    TDrums Drums = TDrums::Four;
    TBass Bass = TBass::Pump;
    TArp Arp = TArp::None;
    bool Pad = true;
    bool Echo = true;
    bool Fill = false;          // drum fill over the last half bar
    bool Crash = true;          // cymbal on the first beat
    int LeadOctave = 0;         // the melody shifted by octaves
    uint8_t LeadInstrument = 0; // 0: the lead synth
    int LeadVolume = 48;
};

// Semitone 0..11 of a note letter with accidentals, and chord tones as semitone offsets.
struct TChord {
    int Root = 0;
    std::vector<int> Intervals;
};
TChord ParseChord(const std::string& name); // throws std::invalid_argument on a bad name
// XM note number (1 = C-0, 49 = C-4) of a name like "C#5" or "Bb4"; throws on a bad name.
uint8_t ParseNote(const std::string& name);

// One section as a pattern (16 rows per bar); `transpose` in semitones.
TXmPattern BuildSection(const TSection& section, int transpose);

// Collects the pieces of one module: patterns are shared when equal.
class TSongBuilder {
  public:
    // Appends a piece; it must start at `firstOrder` (the order count so far), sets its tempo on its
    // first row, releases what earlier music left sounding there, and jumps back to its first order
    // from the end of its last section. Throws std::logic_error when the order position is wrong.
    void AddPiece(int firstOrder, int bpm, const std::vector<TSection>& form, int transpose = 0);
    // Like AddPiece, but the sections are given with their own transposition each.
    void AddPiece(int firstOrder, int bpm, const std::vector<std::pair<TSection, int>>& form);

    std::vector<uint8_t> Orders;
    std::vector<TXmPattern> Patterns;

  private:
    uint8_t Intern(const TXmPattern& pattern);
    std::unordered_map<std::string, uint8_t> Known; // pattern bytes → pattern index
};
