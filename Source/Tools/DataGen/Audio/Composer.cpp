#include "Composer.h"

#include "Instruments.h"

#include <algorithm>
#include <sstream>
#include <stdexcept>

namespace {

int LetterSemitone(char c) {
    switch (c) {
    case 'C':
        return 0;
    case 'D':
        return 2;
    case 'E':
        return 4;
    case 'F':
        return 5;
    case 'G':
        return 7;
    case 'A':
        return 9;
    case 'B':
        return 11;
    default:
        return -1;
    }
}

int Wrap12(int v) {
    return ((v % 12) + 12) % 12;
}

// Chord tones voiced closely between G-3 and F#-4, lowest first (the pad's register).
std::vector<int> Voicing(const TChord& chord, int transpose) {
    std::vector<int> intervals = chord.Intervals;
    if (intervals.size() > 3) // a seventh chord: root, third and seventh carry it, the fifth goes
        intervals.erase(intervals.begin() + 2);
    std::vector<int> notes;
    for (int i : intervals)
        notes.push_back(44 + Wrap12(chord.Root + i + transpose - 7));
    std::sort(notes.begin(), notes.end());
    return notes;
}

// Bass register: G#1..G-2.
int BassRoot(const TChord& chord, int transpose) {
    int pc = Wrap12(chord.Root + transpose);
    return 25 + pc - (pc >= 8 ? 12 : 0);
}

void Put(TXmPattern& p, int row, int channel, int note, uint8_t instrument, int volume) {
    if (row < 0 || row >= p.Rows)
        return;
    if (note < 1 || note > 96)
        throw std::invalid_argument("music note out of the playable range");
    TXmCell& c = p.Cell(row, channel);
    c.Note = uint8_t(note);
    c.Instrument = instrument;
    c.Volume = XmVolume(volume);
}

void KeyOff(TXmPattern& p, int row, int channel) {
    if (row < 0 || row >= p.Rows)
        return;
    TXmCell& c = p.Cell(row, channel);
    c = TXmCell{};
    c.Note = XM_KEY_OFF;
}

void Drums(TXmPattern& p, const TSection& s, int bar) {
    const char* kick = "";
    const char* snare = "";
    switch (s.Drums) {
    case TDrums::None:
        return;
    case TDrums::Four:
        kick = "x...x...x...x...";
        snare = "....x.......x...";
        break;
    case TDrums::Break:
        kick = "x.x.......x.....";
        snare = "....x..g.g..x..g";
        break;
    case TDrums::Half:
        kick = "x.........x.....";
        snare = "........x.......";
        break;
    case TDrums::Sparse:
        kick = "x.......x.......";
        snare = "................";
        break;
    }
    const int base = bar * ROWS_PER_BAR;
    const bool fillBar = s.Fill && bar == int(s.Chords.size()) - 1;
    for (int r = 0; r < ROWS_PER_BAR; ++r) {
        const bool inFill = fillBar && r >= 8;
        if (!inFill) {
            if (kick[r] == 'x')
                Put(p, base + r, CH_KICK, 49, INS_KICK, 64);
            if (snare[r] == 'x')
                Put(p, base + r, CH_SNARE, 49, INS_SNARE, 56);
            else if (snare[r] == 'g') // ghost note
                Put(p, base + r, CH_SNARE, 49, INS_SNARE, 22);
        }
        if (inFill && r >= 12)
            continue;
        if (s.Drums == TDrums::Four) {
            if (r % 4 == 2)
                Put(p, base + r, CH_HAT, 49, INS_OPEN_HAT, 34);
            else
                Put(p, base + r, CH_HAT, 49, INS_HAT, r % 2 == 0 ? 30 : 18);
        } else if (s.Drums == TDrums::Break) {
            Put(p, base + r, CH_HAT, 49, INS_HAT, r % 4 == 0 ? 32 : r % 2 == 0 ? 24 : 14);
        } else if (r % 2 == 0) {
            Put(p, base + r, CH_HAT, 49, INS_HAT, s.Drums == TDrums::Sparse ? 18 : 26);
        }
    }
    if (fillBar) {
        const int rows[] = {8, 10, 12, 13, 14, 15};
        for (int i = 0; i < 6; ++i)
            Put(p, base + rows[i], CH_SNARE, 49, INS_SNARE, 34 + i * 5);
        Put(p, base + 8, CH_KICK, 49, INS_KICK, 60);
        Put(p, base + 8, CH_CRASH, 56, INS_TOM, 50); // toms falling: G-4, E-4, C-4
        Put(p, base + 10, CH_CRASH, 53, INS_TOM, 52);
        Put(p, base + 12, CH_CRASH, 49, INS_TOM, 56);
        Put(p, base + 14, CH_KICK, 49, INS_KICK, 56);
    }
}

void Bass(TXmPattern& p, const TSection& s, const TChord& chord, int bar, int transpose) {
    const int base = bar * ROWS_PER_BAR;
    const int root = BassRoot(chord, transpose);
    switch (s.Bass) {
    case TBass::None:
        break;
    case TBass::Long:
        Put(p, base, CH_BASS, root, INS_BASS, 50);
        Put(p, base + 8, CH_BASS, root, INS_BASS, 38);
        break;
    case TBass::Pump:
        for (int k = 0; k < 8; ++k)
            Put(p, base + 2 * k, CH_BASS, root + (k % 2 ? 12 : 0), INS_BASS, k % 2 ? 42 : 54);
        break;
    case TBass::Offbeat: {
        const int rows[] = {0, 2, 3, 6, 7, 10, 11, 14, 15};
        const int vols[] = {40, 54, 32, 54, 32, 54, 32, 54, 32};
        for (int i = 0; i < 9; ++i)
            Put(p, base + rows[i], CH_BASS, root, INS_BASS, vols[i]);
        break;
    }
    case TBass::Groove: {
        const int rows[] = {0, 3, 6, 8, 10, 11, 14};
        const int offs[] = {0, 0, 12, 0, 7, 12, 0};
        const int vols[] = {56, 42, 48, 52, 44, 40, 46};
        for (int i = 0; i < 7; ++i)
            Put(p, base + rows[i], CH_BASS, root + offs[i], INS_BASS, vols[i]);
        break;
    }
    }
}

void Arp(TXmPattern& p, const TSection& s, const TChord& chord, int bar, int transpose) {
    if (s.Arp == TArp::None)
        return;
    const int base = bar * ROWS_PER_BAR;
    std::vector<int> tones = Voicing(chord, transpose);
    for (int& t : tones)
        t += 12;
    tones.push_back(tones[0] + 12);
    if (s.Arp == TArp::Chip) {
        // One note per beat that the tracker's arpeggio effect splits into the chord.
        const int third = Wrap12(chord.Intervals.size() > 1 ? chord.Intervals[1] : 4);
        const int fifth = Wrap12(chord.Intervals.size() > 2 ? chord.Intervals[2] : 7);
        const int root = 56 + Wrap12(chord.Root + transpose - 7); // G-4..F#-5
        for (int r = 0; r < ROWS_PER_BAR; ++r) {
            if (r % 4 == 0)
                Put(p, base + r, CH_ARP, root, INS_PLUCK, r == 0 ? 40 : 32);
            TXmCell& c = p.Cell(base + r, CH_ARP);
            c.Effect = XM_FX_ARPEGGIO;
            c.Param = uint8_t(third << 4 | fifth);
        }
        return;
    }
    static const int up[] = {0, 1, 2, 3};
    static const int upDown[] = {0, 1, 2, 3, 2, 1};
    static const int eighths[] = {0, 2, 1, 3};
    for (int r = 0; r < ROWS_PER_BAR; ++r) {
        int index;
        if (s.Arp == TArp::Up)
            index = up[r % 4];
        else if (s.Arp == TArp::UpDown)
            index = upDown[r % 6];
        else if (r % 2 == 0)
            index = eighths[(r / 2) % 4];
        else
            continue;
        Put(p, base + r, CH_ARP, tones[size_t(index)], INS_PLUCK, r % 4 == 0 ? 34 : 25);
    }
}

void Lead(TXmPattern& p, const TSection& s, int transpose) {
    if (s.Melody.empty()) {
        KeyOff(p, 0, CH_LEAD);
        KeyOff(p, 0, CH_ECHO);
        return;
    }
    const uint8_t instrument = s.LeadInstrument ? s.LeadInstrument : uint8_t(INS_LEAD);
    std::istringstream in(s.Melody);
    std::string token;
    int row = 0;
    struct TEvent {
        int Row;
        int Note; // 0: release
    };
    std::vector<TEvent> events;
    while (in >> token) {
        if (token == "|")
            continue;
        std::string name = token;
        int length = 2;
        if (size_t slash = token.find('/'); slash != std::string::npos) {
            name = token.substr(0, slash);
            length = std::stoi(token.substr(slash + 1));
        }
        if (length < 1 || row + length > p.Rows)
            throw std::invalid_argument("melody runs past its section at \"" + token + "\"");
        events.push_back({row, name == "r" ? 0 : ParseNote(name) + 12 * s.LeadOctave + transpose});
        row += length;
    }
    if (row < p.Rows)
        events.push_back({row, 0});
    for (const TEvent& e : events) {
        if (e.Note)
            Put(p, e.Row, CH_LEAD, e.Note, instrument, s.LeadVolume);
        else
            KeyOff(p, e.Row, CH_LEAD);
        if (!s.Echo)
            continue;
        // Echo three sixteenths later, quieter and to the right.
        if (e.Note)
            Put(p, e.Row + 3, CH_ECHO, e.Note, instrument, s.LeadVolume * 2 / 5);
        else
            KeyOff(p, e.Row + 3, CH_ECHO);
        if (e.Row + 3 < p.Rows) {
            p.Cell(e.Row + 3, CH_ECHO).Effect = 0x08; // set panning
            p.Cell(e.Row + 3, CH_ECHO).Param = 0xC0;
        }
    }
    if (!s.Echo)
        KeyOff(p, 0, CH_ECHO);
}

} // namespace

TChord ParseChord(const std::string& name) {
    if (name.empty() || LetterSemitone(name[0]) < 0)
        throw std::invalid_argument("bad chord name \"" + name + "\"");
    TChord chord;
    chord.Root = LetterSemitone(name[0]);
    size_t i = 1;
    if (i < name.size() && (name[i] == '#' || name[i] == 'b')) {
        chord.Root = Wrap12(chord.Root + (name[i] == '#' ? 1 : -1));
        ++i;
    }
    std::string rest = name.substr(i);
    if (rest == "")
        chord.Intervals = {0, 4, 7};
    else if (rest == "m")
        chord.Intervals = {0, 3, 7};
    else if (rest == "7")
        chord.Intervals = {0, 4, 7, 10};
    else if (rest == "m7")
        chord.Intervals = {0, 3, 7, 10};
    else if (rest == "sus4")
        chord.Intervals = {0, 5, 7};
    else
        throw std::invalid_argument("bad chord name \"" + name + "\"");
    return chord;
}

uint8_t ParseNote(const std::string& name) {
    if (name.size() < 2 || LetterSemitone(name[0]) < 0)
        throw std::invalid_argument("bad note name \"" + name + "\"");
    int semitone = LetterSemitone(name[0]);
    size_t i = 1;
    if (name[i] == '#' || name[i] == 'b') {
        semitone += name[i] == '#' ? 1 : -1;
        ++i;
    }
    if (i + 1 != name.size() || name[i] < '0' || name[i] > '7')
        throw std::invalid_argument("bad note name \"" + name + "\"");
    int note = (name[i] - '0') * 12 + semitone + 1;
    if (note < 1 || note > 96)
        throw std::invalid_argument("note out of range \"" + name + "\"");
    return uint8_t(note);
}

TXmPattern BuildSection(const TSection& s, int transpose) {
    if (s.Chords.empty() || s.Chords.size() > 16)
        throw std::invalid_argument("a section needs 1..16 bars");
    TXmPattern p(int(s.Chords.size()) * ROWS_PER_BAR, MUSIC_CHANNELS);
    std::string previous;
    for (int bar = 0; bar < int(s.Chords.size()); ++bar) {
        TChord chord = ParseChord(s.Chords[size_t(bar)]);
        Drums(p, s, bar);
        Bass(p, s, chord, bar, transpose);
        Arp(p, s, chord, bar, transpose);
        if (s.Pad && s.Chords[size_t(bar)] != previous) {
            std::vector<int> v = Voicing(chord, transpose);
            for (size_t k = 0; k < 3; ++k)
                Put(p, bar * ROWS_PER_BAR, CH_PAD1 + int(k), v[k % v.size()], INS_PAD, 26); // behind the rest
        }
        previous = s.Chords[size_t(bar)];
    }
    if (!s.Pad)
        for (int ch = CH_PAD1; ch <= CH_PAD3; ++ch)
            KeyOff(p, 0, ch);
    if (s.Bass == TBass::None)
        KeyOff(p, 0, CH_BASS);
    if (s.Crash && s.Drums != TDrums::None)
        Put(p, 0, CH_CRASH, 49, INS_CRASH, 44);
    Lead(p, s, transpose);
    return p;
}

uint8_t TSongBuilder::Intern(const TXmPattern& pattern) {
    std::string key(1, char(pattern.Rows - 1));
    for (const TXmCell& c : pattern.Cells)
        for (uint8_t b : {c.Note, c.Instrument, c.Volume, c.Effect, c.Param})
            key.push_back(char(b));
    auto found = Known.find(key);
    if (found != Known.end())
        return found->second;
    if (Patterns.size() >= 256)
        throw std::logic_error("music needs more than 256 patterns");
    Patterns.push_back(pattern);
    uint8_t index = uint8_t(Patterns.size() - 1);
    Known.emplace(std::move(key), index);
    return index;
}

void TSongBuilder::AddPiece(int firstOrder, int bpm, const std::vector<TSection>& form, int transpose) {
    std::vector<std::pair<TSection, int>> withTranspose;
    for (const TSection& s : form)
        withTranspose.push_back({s, transpose});
    AddPiece(firstOrder, bpm, withTranspose);
}

void TSongBuilder::AddPiece(int firstOrder, int bpm, const std::vector<std::pair<TSection, int>>& form) {
    if (int(Orders.size()) != firstOrder)
        throw std::logic_error("piece meant for order " + std::to_string(firstOrder) +
                               " would start at order " + std::to_string(Orders.size()));
    if (form.empty() || bpm < 32 || bpm > 255 || firstOrder > 255)
        throw std::logic_error("bad piece at order " + std::to_string(firstOrder));
    for (size_t i = 0; i < form.size(); ++i) {
        TXmPattern p = BuildSection(form[i].first, form[i].second);
        if (i == 0) {
            // Whatever was playing before a jump here stops: melodic channels without a note
            // on the first row are released.
            for (int ch = CH_BASS; ch <= CH_PAD3; ++ch)
                if (p.Cell(0, ch).Note == 0)
                    KeyOff(p, 0, ch);
            p.Cell(0, CH_CRASH).Effect = XM_FX_SPEED;
            p.Cell(0, CH_CRASH).Param = 6; // ticks per row: 4 rows per beat at `bpm`
            p.Cell(0, CH_CONTROL).Effect = XM_FX_SPEED;
            p.Cell(0, CH_CONTROL).Param = uint8_t(bpm);
        }
        if (i + 1 == form.size()) {
            TXmCell& c = p.Cell(p.Rows - 1, CH_CONTROL);
            c.Effect = XM_FX_ORDER_JUMP;
            c.Param = uint8_t(firstOrder);
        }
        Orders.push_back(Intern(p));
    }
}
