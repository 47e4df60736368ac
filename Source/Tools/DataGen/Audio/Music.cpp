#include "Music.h"

#include "Composer.h"
#include "Instruments.h"

namespace {

TSection Make(std::vector<std::string> chords, std::string melody, TDrums drums, TBass bass, TArp arp,
              bool fill = false) {
    TSection s;
    s.Chords = std::move(chords);
    s.Melody = std::move(melody);
    s.Drums = drums;
    s.Bass = bass;
    s.Arp = arp;
    s.Fill = fill;
    return s;
}

TSection WithFill(TSection s) {
    s.Fill = true;
    return s;
}

// Race start and car selection: a tight E minor riff over eight bars, 140 BPM.
void StartPiece(TSongBuilder& song) {
    const std::string riff =
        "E5/2 E5/2 G5/2 B5/2 r/2 B5/2 A5/2 G5/2 | E5/2 E5/2 G5/2 C6/2 r/2 C6/2 B5/2 G5/2 | "
        "F#5/2 F#5/2 A5/2 D6/2 r/2 D6/2 C6/2 A5/2 | ";
    TSection s = Make({"Em", "C", "D", "Em", "Em", "C", "D", "B"},
                      riff + "B5/8 G5/4 E5/4 | " + riff + "D#6/8 B5/4 F#5/4", TDrums::Four, TBass::Offbeat,
                      TArp::Up, true);
    song.AddPiece(ORDER_START, 140, {s});
}

// Intro and menus: A minor, 118 BPM, a singing theme over a loose breakbeat.
void MenuPiece(TSongBuilder& song) {
    const std::string a12 = "E5/4 A5/2 B5/2 C6/4 B5/2 A5/2 | A5/6 G5/2 F5/4 E5/4 | ";
    const std::string b12 = "C6/2 C6/2 A5/2 C6/2 r/2 C6/2 D6/4 | D6/2 D6/2 B5/2 D6/2 r/2 D6/2 E6/4 | ";
    TSection intro = Make({"Am", "F", "C", "G"}, "", TDrums::Sparse, TBass::Long, TArp::Eighths);
    intro.Crash = false;
    TSection intro2 = Make({"Am", "F", "C", "G"}, "", TDrums::Half, TBass::Long, TArp::Up, true);
    TSection a = Make({"Am", "F", "C", "G"}, a12 + "E5/4 G5/2 C6/2 E6/4 D6/2 C6/2 | D6/8 B5/4 G5/4",
                      TDrums::Break, TBass::Groove, TArp::Eighths);
    TSection a2 = Make({"Am", "F", "G", "E"}, a12 + "G5/4 B5/2 D6/2 G6/4 F6/2 D6/2 | E6/12 r/4",
                       TDrums::Break, TBass::Groove, TArp::Eighths, true);
    TSection b = Make({"F", "G", "Em", "Am"}, b12 + "E6/4 D6/2 B5/2 G5/4 B5/4 | A5/8 r/8", TDrums::Four,
                      TBass::Pump, TArp::Up);
    TSection b2 = Make({"F", "G", "E", "Am"}, b12 + "E6/4 D6/2 B5/2 G#5/4 B5/4 | A5/12 r/4", TDrums::Four,
                       TBass::Pump, TArp::Up, true);
    TSection c = Make({"Dm", "Am", "F", "E"}, "F5/8 E5/8 | C5/16 | A4/8 C5/8 | B4/16", TDrums::Half,
                      TBass::Long, TArp::UpDown);
    c.LeadInstrument = INS_BELL;
    c.LeadOctave = 1;
    c.LeadVolume = 40;
    TSection c2 = Make({"Dm", "Am", "F", "E"}, "", TDrums::Half, TBass::Groove, TArp::Chip, true);
    TSection outro = Make({"Am", "F", "G", "E"}, "", TDrums::Break, TBass::Groove, TArp::Chip, true);
    song.AddPiece(ORDER_MENU, 118, {intro, intro2, a, a2, b, b2, c, c2, a, a2, b, b2, a, a2, outro});
}

// First race theme: D minor, 145 BPM, four to the floor.
void Race1Piece(TSongBuilder& song) {
    const std::string a123 = "D5/2 F5/2 A5/2 D6/2 C6/2 A5/2 F5/2 A5/2 | D6/4 C6/2 Bb5/2 r/2 F5/2 Bb5/4 | "
                             "C6/2 E6/2 G6/2 E6/2 C6/2 G5/2 C6/2 E6/2 | ";
    const std::string b12 = "G5/6 A5/2 Bb5/4 D6/4 | A5/8 F5/4 D5/4 | ";
    const std::string c12 = "F6/2 r/2 F6/2 D6/2 r/2 C6/2 D6/4 | E6/2 r/2 E6/2 C6/2 r/2 G5/2 C6/4 | ";
    TSection intro = Make({"Dm", "Bb", "C", "Dm"}, "", TDrums::Four, TBass::Offbeat, TArp::None);
    intro.Pad = false;
    TSection intro2 = Make({"Dm", "Bb", "C", "A"}, "", TDrums::Four, TBass::Offbeat, TArp::Up, true);
    TSection a = Make({"Dm", "Bb", "C", "Dm"}, a123 + "F6/4 E6/2 D6/2 r/2 A5/2 D6/4", TDrums::Four,
                      TBass::Pump, TArp::Up);
    TSection a2 = Make({"Dm", "Bb", "C", "A"}, a123 + "E6/4 C#6/2 A5/2 r/2 E5/2 A5/4", TDrums::Four,
                       TBass::Pump, TArp::Up, true);
    TSection b = Make({"Gm", "Dm", "Bb", "C"}, b12 + "F5/6 G5/2 Bb5/4 D6/4 | C6/8 E6/8", TDrums::Four,
                      TBass::Offbeat, TArp::UpDown);
    TSection b2 = Make({"Gm", "Dm", "A", "A"}, b12 + "E6/6 D6/2 C#6/4 A5/4 | A5/12 r/4", TDrums::Four,
                       TBass::Offbeat, TArp::UpDown, true);
    TSection c = Make({"Bb", "C", "Dm", "Dm"}, c12 + "D6/4 A5/4 F5/4 A5/4 | D6/16", TDrums::Break,
                      TBass::Groove, TArp::Chip);
    TSection c2 = Make({"Bb", "C", "A", "A"}, c12 + "E6/4 C#6/4 A5/4 C#6/4 | E6/16", TDrums::Break,
                       TBass::Groove, TArp::Chip, true);
    TSection d = Make({"Dm", "Bb", "C", "A"}, "", TDrums::Half, TBass::Long, TArp::Eighths);
    d.Crash = false;
    TSection d2 = Make({"Dm", "Bb", "C", "A"}, "", TDrums::Sparse, TBass::Long, TArp::Up, true);
    song.AddPiece(ORDER_RACE1, 145, {intro, intro2, a,  a2, b,  b2, a,  a2, d,  d2,    c,
                                     c2,    b,      b2, a,  a2, c,  c2, a,  a2, intro, intro2});
}

// Second race theme: G minor, 152 BPM, breakbeat verses and a four-to-the-floor chorus.
void Race2Piece(TSongBuilder& song) {
    const std::string a123 = "G5/3 Bb5/3 D6/2 r/2 D6/2 C6/2 Bb5/2 | G5/3 Bb5/3 Eb6/2 r/2 D6/2 C6/2 Bb5/2 | "
                             "A5/3 C6/3 F6/2 r/2 Eb6/2 D6/2 C6/2 | ";
    TSection intro = Make({"Gm", "Eb", "F", "Gm"}, "", TDrums::Break, TBass::Groove, TArp::Chip);
    TSection a =
        Make({"Gm", "Eb", "F", "Gm"}, a123 + "D6/8 Bb5/4 G5/4", TDrums::Break, TBass::Groove, TArp::Chip);
    TSection a2 = Make({"Gm", "Eb", "F", "D"}, a123 + "A5/8 F#5/4 D5/4", TDrums::Break, TBass::Groove,
                       TArp::Chip, true);
    TSection b = Make({"Cm", "Gm", "Eb", "D"},
                      "Eb6/4 D6/4 C6/4 G5/4 | D6/4 C6/4 Bb5/4 G5/4 | "
                      "C6/4 Bb5/4 G5/4 Eb5/4 | F#5/8 A5/8",
                      TDrums::Four, TBass::Pump, TArp::Up);
    TSection b2 = Make({"Cm", "Gm", "Eb", "D"},
                       "Eb6/2 F6/2 Eb6/2 D6/2 C6/4 G5/4 | D6/2 Eb6/2 D6/2 C6/2 Bb5/4 G5/4 | "
                       "C6/2 D6/2 C6/2 Bb5/2 G5/4 Eb5/4 | D6/8 F#6/4 A6/4",
                       TDrums::Four, TBass::Pump, TArp::Up, true);
    TSection d = Make({"Eb", "F", "Gm", "Gm"}, "", TDrums::Half, TBass::Long, TArp::UpDown);
    song.AddPiece(ORDER_RACE2, 152,
                  {intro, a, a2, b, b2, a, a2, d, WithFill(d), b, b2, a, a2, b, b2, WithFill(intro)});
}

// Third race theme: C minor, 138 BPM; the longest piece, which climbs through two key changes
// (up a tone, then a minor third) before it comes home.
void Race3Piece(TSongBuilder& song) {
    const std::string a12 = "C5/2 Eb5/2 G5/4 G5/2 F5/2 Eb5/2 F5/2 | Eb5/4 C5/4 r/4 Ab4/2 C5/2 | ";
    TSection intro = Make({"Cm", "Ab", "Eb", "Bb"}, "", TDrums::Sparse, TBass::Offbeat, TArp::UpDown);
    intro.Crash = false;
    TSection intro2 = Make({"Cm", "Ab", "Eb", "G"}, "", TDrums::Four, TBass::Offbeat, TArp::UpDown, true);
    TSection a =
        Make({"Cm", "Ab", "Eb", "Bb"}, a12 + "G5/2 Bb5/2 Eb6/4 D6/2 C6/2 Bb5/2 G5/2 | F5/8 D5/4 Bb4/4",
             TDrums::Four, TBass::Pump, TArp::Up);
    TSection a2 = Make({"Cm", "Ab", "Bb", "G"}, a12 + "F5/2 Bb5/2 D6/4 C6/2 Bb5/2 A5/2 F5/2 | G5/4 B5/4 D6/8",
                       TDrums::Four, TBass::Pump, TArp::Up, true);
    TSection b =
        Make({"Fm", "Cm", "Ab", "G"},
             "Ab5/4 G5/2 F5/2 C6/8 | G5/4 F5/2 Eb5/2 G5/8 | Ab5/4 Bb5/2 C6/2 Eb6/4 C6/4 | B5/8 D6/4 G6/4",
             TDrums::Four, TBass::Offbeat, TArp::Eighths);
    TSection b2 = WithFill(b);
    b2.Arp = TArp::Chip;
    TSection c = Make({"Cm", "Ab", "Eb", "Bb"},
                      "C6/1 B5/1 C6/1 G5/1 Eb5/1 G5/1 C6/1 D6/1 Eb6/2 D6/2 C6/2 G5/2 | "
                      "Ab5/1 G5/1 Ab5/1 Eb5/1 C5/1 Eb5/1 Ab5/1 Bb5/1 C6/2 Bb5/2 Ab5/2 Eb5/2 | "
                      "G5/1 F5/1 G5/1 Eb5/1 Bb4/1 Eb5/1 G5/1 Bb5/1 Eb6/4 D6/4 | D6/8 F6/8",
                      TDrums::Break, TBass::Groove, TArp::None);
    c.Echo = false;
    TSection c2 = WithFill(c);
    c2.Arp = TArp::Chip;
    TSection d = Make({"Ab", "Bb", "Cm", "Cm"}, "", TDrums::Half, TBass::Long, TArp::Eighths);
    d.Crash = false;
    TSection d2 = Make({"Ab", "Bb", "G", "G"}, "", TDrums::Half, TBass::Long, TArp::Up, true);

    const std::vector<TSection> pass = {intro, intro2, a, a2, b, b2, a, a2, d, d2, c, c2, b, b2, a, a2};
    const int transposes[] = {0, 0, 2, 2, 0, 3, 3};
    std::vector<std::pair<TSection, int>> form;
    for (int t : transposes)
        for (const TSection& s : pass)
            form.push_back({s, t});
    for (const TSection& s : {a, a2, b, b2, c, c2, a, a2, d, d2, intro, intro2})
        form.push_back({s, 0});
    song.AddPiece(ORDER_RACE3, 138, form);
}

// Mission failed: a slow A minor lament on the bell over pads.
void FailedPiece(TSongBuilder& song) {
    TSection f1 =
        Make({"Am", "F", "Dm", "E"}, "E5/8 C5/4 A4/4 | F5/8 E5/4 C5/4 | D5/8 F5/4 A5/4 | G#5/12 r/4",
             TDrums::None, TBass::Long, TArp::None);
    TSection f2 = Make({"Am", "Dm", "E", "Am"}, "A5/8 E5/8 | F5/6 E5/2 D5/8 | B4/8 G#4/8 | A4/16",
                       TDrums::None, TBass::Long, TArp::None);
    for (TSection* s : {&f1, &f2}) {
        s->LeadInstrument = INS_BELL;
        s->LeadVolume = 52;
        s->Crash = false;
    }
    song.AddPiece(ORDER_FAILED, 84, {f1, f2});
}

} // namespace

TXmModule MakeMusic() {
    TSongBuilder song;
    StartPiece(song);
    MenuPiece(song);
    Race1Piece(song);
    Race2Piece(song);
    Race3Piece(song);
    FailedPiece(song);

    TXmModule m;
    m.Name = "Kalmirov";
    m.Channels = MUSIC_CHANNELS;
    m.Speed = 6;
    m.Bpm = 118;
    m.RestartPosition = ORDER_MENU;
    m.Orders = std::move(song.Orders);
    m.Patterns = std::move(song.Patterns);
    m.Instruments = MakeInstruments();
    return m;
}
