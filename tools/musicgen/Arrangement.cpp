// The score: chord progressions, bass lines, melodies and drum grids per section.
#include "Arrangement.h"

#include "Noise.h"
#include "Pattern.h"
#include "Timing.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <string>

namespace music {
namespace {

// Chords as pad voicings (four notes), bass root and arpeggio tones.
struct Chord {
    std::array<int, 4> pad;
    int bassRoot;
    std::array<int, 4> arp;
};

const Chord kDm{{50, 57, 62, 65}, 38, {62, 65, 69, 74}};
const Chord kBb{{46, 53, 62, 65}, 34, {62, 65, 70, 74}};
const Chord kF{{53, 57, 60, 65}, 41, {60, 65, 69, 72}};
const Chord kC{{48, 55, 60, 64}, 36, {60, 64, 67, 72}};
const Chord kGm{{55, 58, 62, 65}, 43, {62, 67, 70, 74}};
const Chord kA{{57, 61, 64, 69}, 33, {61, 64, 69, 73}};
const Chord kAsus{{57, 62, 64, 69}, 33, {62, 64, 69, 74}};

// The chord under each bar.
const Chord& chordAt(int bar) {
    static const Chord* const kLoop[] = {&kDm, &kBb, &kF, &kC};
    static const Chord* const kIntro[] = {&kDm, &kDm, &kBb, &kBb, &kF, &kF, &kC, &kC};
    static const Chord* const kBreak[] = {&kGm, &kBb, &kGm, &kA, &kGm, &kBb, &kAsus, &kA};
    static const Chord* const kOutro[] = {&kDm, &kBb, &kF, &kC, &kGm, &kA, &kDm, &kDm};
    if (bar < 8) return *kIntro[bar];
    if (bar >= 48 && bar < 56) return *kBreak[bar - 48];
    if (bar >= 76) return *kOutro[std::min(bar - 76, 7)];
    return *kLoop[bar % 4];
}

// Melodies, eight bars each over Dm Bb F C Dm Bb F C.
const char* const kMelodyA =
    "A4:1.5 F4:0.5 ~G4:0.5 A4:0.5 D5:1 "
    "C5:0.5 D5:0.5 ~F5:1.5 D5:0.5 C5:0.5 Bb4:0.5 "
    "A4:1.5 C5:0.5 ~A4:1 F4:1 "
    "G4:1 E4:0.5 ~F4:0.5 G4:2 "
    "A4:1.5 F4:0.5 ~G4:0.5 A4:0.5 F5:1 "
    "E5:0.5 F5:0.5 D5:1.5 Bb4:0.5 C5:0.5 D5:0.5 "
    "C5:1 A4:0.5 C5:0.5 ~F5:1 E5:1 "
    "E5:0.5 D5:0.5 C5:0.5 ~D5:2.5";
const char* const kMelodyAnswer =
    "D5:1 C5:0.5 A4:0.5 ~D5:2 "
    "Bb4:1 A4:0.5 F4:0.5 ~D5:2 "
    "A4:1.5 C5:0.5 ~F5:1 E5:1 "
    "E5:1 D5:1 C5:1 ~D5:1";
const char* const kMelodyB =
    "D5:0.75 F5:0.75 A5:0.5 ~G5:0.5 F5:0.5 E5:0.5 F5:0.5 "
    "D5:0.75 F5:0.75 Bb5:1 ~A5:0.5 G5:0.5 F5:0.5 "
    "C5:0.75 F5:0.75 A5:0.5 ~C6:1.5 A5:0.5 "
    "G5:1 E5:0.5 ~F5:0.5 G5:1.5 -:0.5 "
    "A5:0.75 G5:0.75 F5:0.5 ~E5:0.5 F5:0.5 A5:0.5 D6:0.5 "
    "C6:0.75 Bb5:0.75 ~A5:0.5 G5:0.5 F5:0.5 D5:1 "
    "C5:0.5 F5:0.5 A5:0.5 C6:0.5 ~A5:1 G5:0.5 F5:0.5 "
    "E5:0.5 F5:0.5 G5:0.5 E5:0.5 ~D5:2";
const char* const kClimax =
    "A5:1.5 F5:0.5 ~G5:0.5 A5:0.5 D6:1 "
    "C6:0.5 D6:0.5 ~F6:1.5 D6:0.5 C6:0.5 Bb5:0.5 "
    "A5:1.5 C6:0.5 ~A5:1 F5:1 "
    "G5:1 E5:0.5 ~F5:0.5 ~D5:2";
const char* const kIntroBell = "-:2 A5:2 C6:2 A5:2 F5:3 G5:1 E5:4";
const char* const kBreakBell =
    "D5:1.5 Bb4:0.5 C5:1 D5:1 F5:3 -:1 D5:1.5 Bb4:0.5 C5:1 D5:1 C#5:2 E5:2 "
    "D5:1.5 Bb4:0.5 C5:1 D5:1 F5:2 G5:1 F5:1 E5:3 -:1 C#5:2 E5:1 A5:1";
const char* const kOutroBell =
    "A5:1.5 F5:0.5 G5:0.5 A5:0.5 D6:1 F5:3 -:1 C6:1.5 A5:0.5 F5:2 E5:2 G5:2 "
    "Bb5:1.5 A5:0.5 G5:2 E5:2 C#6:2 D6:8";

// Adds events to one channel, giving each note its own fixed seed.
class ChannelWriter {
public:
    ChannelWriter(Channel& channel, uint32_t seed) : _channel(channel), _seed(seed) {}

    void note(double beat, double length, int midi, double velocity, int glideFrom = -1) {
        NoteEvent event;
        event.beat = beat;
        event.lengthBeats = length;
        event.midi = midi;
        event.velocity = velocity;
        event.glideFromMidi = glideFrom;
        event.seed = mixSeed(_seed, uint32_t(_channel.events.size()));
        _channel.events.push_back(event);
    }

    // Like note(), but a pitch already sounding up to `beat` is held on instead of
    // struck again, so common tones of neighbouring chords ring through.
    void tie(double beat, double length, int midi, double velocity) {
        for (auto it = _channel.events.rbegin(); it != _channel.events.rend(); ++it) {
            if (it->midi == midi && std::abs(it->beat + it->lengthBeats - beat) < 1e-9 &&
                it->velocity == velocity) {
                it->lengthBeats += length;
                return;
            }
        }
        note(beat, length, midi, velocity);
    }

    void melody(int bar, const char* text, double velocity, int transpose = 0) {
        int previous = -1;
        for (const PatternNote& n : parseMelody(text)) {
            if (n.glide) _channel.events.back().legatoOut = true;
            note(barToBeat(bar) + n.offsetBeats, n.lengthBeats, n.midi + transpose, velocity,
                 n.glide ? previous : -1);
            previous = n.midi + transpose;
        }
    }

    void grid(int firstBar, int endBar, const std::string& pattern, double velocity) {
        const std::vector<GridHit> hits = parseGrid(pattern);
        const double patternBeats = 0.25 * double(pattern.size());
        for (double beat = barToBeat(firstBar); beat < barToBeat(endBar) - 1e-9; beat += patternBeats)
            for (const GridHit& hit : hits) note(beat + hit.offsetBeats, 0.25, 60, hit.velocity * velocity);
    }

private:
    Channel& _channel;
    uint32_t _seed;
};

Channel& addChannel(Song& song, const std::string& name, Instrument instrument, double gain, double pan) {
    Channel channel;
    channel.name = name;
    channel.instrument = instrument;
    channel.gain = gain;
    channel.pan = pan;
    song.channels.push_back(channel);
    return song.channels.back();
}

double bar(double b) {
    return barToBeat(b);
}

void writeDrums(Song& song) {
    Channel& kick = addChannel(song, "kick", Instrument::Kick, 0.45, 0.0);
    ChannelWriter k(kick, 101);
    k.grid(16, 20, "X...............", 0.8);
    k.grid(20, 23, "X.......X.......", 0.85);
    k.grid(23, 24, "X...............", 0.85);
    k.grid(24, 48, "X...X...X...X...", 1.0);
    k.grid(56, 76, "X...X...X...X...", 1.0);
    for (const NoteEvent& e : kick.events) song.kickBeats.push_back(e.beat);

    Channel& snare = addChannel(song, "snare", Instrument::Snare, 0.5, 0.05);
    snare.reverbSend = 0.22;
    ChannelWriter s(snare, 202);
    for (int i = 0; i < 12; ++i) s.note(bar(23) + 0.25 * i, 0.25, 60, 0.2 + 0.03 * i);  // build-up roll
    for (int i = 0; i < 16; ++i) s.note(bar(23) + 3.0 + 0.0625 * i, 0.0625, 60, 0.55 + 0.025 * i);
    s.grid(24, 47, "....X.......X...", 1.0);
    s.grid(47, 48, "....X.......XxXX", 1.0);
    s.grid(56, 63, "....X.......X...", 1.0);
    s.grid(63, 64, "....X.......XoxX", 1.0);
    s.grid(64, 71, "....X.......X...", 1.0);
    s.grid(71, 72, "....X...X.x.XxXX", 1.0);
    s.grid(72, 75, "....X.......X...", 1.0);
    s.grid(75, 76, "....X.......XxXX", 1.0);

    Channel& clap = addChannel(song, "clap", Instrument::Clap, 0.4, -0.1);
    clap.reverbSend = 0.3;
    ChannelWriter c(clap, 303);
    c.grid(32, 48, "....X.......X...", 0.9);
    c.grid(56, 76, "....X.......X...", 1.0);

    Channel& hat = addChannel(song, "hat", Instrument::ClosedHat, 0.45, 0.25);
    hat.reverbSend = 0.05;
    ChannelWriter h(hat, 404);
    h.grid(8, 16, "..x...x...x...x.", 0.6);
    h.grid(16, 20, "..x...x...x...x.", 0.8);
    h.grid(20, 24, "o.x.o.x.o.x.o.xo", 0.9);
    h.grid(24, 48, "oxXooxXooxXooxXx", 1.0);
    h.grid(56, 76, "xo.oxo.oxo.oxo.x", 1.0);

    Channel& openHat = addChannel(song, "openhat", Instrument::OpenHat, 0.2, -0.25);
    openHat.reverbSend = 0.1;
    ChannelWriter oh(openHat, 505);
    oh.grid(40, 48, "..X...X...X...X.", 0.8);
    oh.grid(56, 76, "..X...X...X...X.", 1.0);

    Channel& crash = addChannel(song, "crash", Instrument::Crash, 0.14, 0.0);
    crash.reverbSend = 0.25;
    ChannelWriter cr(crash, 606);
    for (int b : {24, 40, 56, 64, 72}) cr.note(bar(b), 1.0, 60, 1.0);
    cr.note(bar(76), 1.0, 60, 0.8);

    Channel& riser = addChannel(song, "riser", Instrument::Riser, 0.16, 0.0);
    riser.reverbSend = 0.4;
    ChannelWriter r(riser, 707);
    r.note(bar(20), 16.0, 60, 0.8);
    r.note(bar(52), 16.0, 60, 1.0);
    r.note(bar(46), 8.0, 60, 0.5);
    r.note(bar(74), 8.0, 60, 0.6);
}

void writeHarmony(Song& song) {
    Channel& pad = addChannel(song, "pad", Instrument::Pad, 0.17, 0.0);
    pad.reverbSend = 0.35;
    pad.duckDepth = 0.45;
    pad.brightness.add(bar(0), 0.03).add(bar(8), 0.22).add(bar(24), 0.55).add(bar(47), 0.6);
    pad.brightness.add(bar(48), 0.3)
        .add(bar(55), 0.55)
        .add(bar(56), 0.75)
        .add(bar(76), 0.6)
        .add(bar(84), 0.12);
    ChannelWriter p(pad, 808);
    for (int b = 0; b < 8; b += 2)
        for (int m : chordAt(b).pad) p.tie(bar(b), 8.0, m, 0.9);
    for (int b = 8; b < 82; ++b)
        for (int m : chordAt(b).pad) p.tie(bar(b), 4.0, m, b >= 48 && b < 56 ? 1.0 : 0.9);
    for (int m : kDm.pad) p.tie(bar(82), 8.0, m, 0.9);

    Channel& bass = addChannel(song, "bass", Instrument::Bass, 0.36, 0.0);
    bass.duckDepth = 0.6;
    bass.brightness.add(bar(8), 0.1).add(bar(24), 0.55).add(bar(48), 0.2).add(bar(56), 0.7).add(bar(76), 0.3);
    ChannelWriter bs(bass, 909);
    for (int b = 8; b < 16; ++b) {
        const int root = chordAt(b).bassRoot;
        bs.note(bar(b), 1.75, root, 0.8);
        bs.note(bar(b) + 2.0, 1.75, root, 0.7);
    }
    for (int b = 16; b < 24; ++b)
        for (int e = 0; e < 4; ++e) bs.note(bar(b) + e + 0.5, 0.42, chordAt(b).bassRoot, 0.9);
    for (int b = 24; b < 48; ++b)
        for (int e = 0; e < 8; ++e) {
            const int octave = (e == 3 || e == 7) ? 12 : 0;
            bs.note(bar(b) + 0.5 * e, 0.42, chordAt(b).bassRoot + octave, e % 2 ? 1.0 : 0.8);
        }
    for (int b = 48; b < 56; ++b) bs.note(bar(b), 3.8, chordAt(b).bassRoot, 0.6);
    for (int b = 56; b < 76; ++b) {
        const int root = chordAt(b).bassRoot;
        for (int e = 0; e < 8; ++e) {
            const int octave = (e == 3 || e == 6) ? 12 : 0;
            bs.note(bar(b) + 0.5 * e, e == 7 ? 0.2 : 0.42, root + octave, e % 2 ? 1.0 : 0.85);
        }
        bs.note(bar(b) + 3.75, 0.2, root + 12, 0.8);
    }
    for (int b = 76; b < 80; ++b) bs.note(bar(b), 3.8, chordAt(b).bassRoot, 0.6);
    bs.note(bar(82), 7.0, kDm.bassRoot, 0.45);

    Channel& arp = addChannel(song, "arp", Instrument::Pluck, 0.22, -0.35);
    arp.delaySend = 0.35;
    arp.reverbSend = 0.2;
    arp.duckDepth = 0.35;
    arp.brightness.add(bar(16), 0.05).add(bar(24), 0.5).add(bar(48), 0.5).add(bar(56), 0.7).add(bar(76), 0.9);
    ChannelWriter a(arp, 1010);
    static const int kOrder[16] = {0, 1, 2, 3, 2, 1, 0, 2, 1, 3, 2, 1, 3, 2, 1, 2};
    auto arpeggio = [&](int first, int end, double velocity) {
        for (int b = first; b < end; ++b)
            for (int step = 0; step < 16; ++step)
                a.note(bar(b) + 0.25 * step, 0.2, chordAt(b).arp[size_t(kOrder[step])],
                       velocity * (step % 4 == 0 ? 1.0 : 0.7));
    };
    arpeggio(16, 48, 0.9);
    arpeggio(56, 76, 1.0);
}

void writeMelody(Song& song) {
    Channel& lead = addChannel(song, "lead", Instrument::Lead, 0.32, 0.08);
    lead.reverbSend = 0.25;
    lead.delaySend = 0.2;
    lead.duckDepth = 0.12;
    lead.brightness.add(bar(24), 0.7).add(bar(48), 0.75).add(bar(56), 0.9);
    ChannelWriter l(lead, 1111);
    l.melody(28, kMelodyA, 0.85);
    l.melody(36, kMelodyA, 0.9);
    l.melody(44, kMelodyAnswer, 0.9);
    l.melody(56, kMelodyB, 0.95);
    l.melody(64, kMelodyB, 0.95);
    l.melody(72, kClimax, 1.0);

    // An octave below the second finale phrase thickens the lead.
    Channel& layer = addChannel(song, "leadlayer", Instrument::Lead, 0.14, -0.2);
    layer.reverbSend = 0.2;
    layer.duckDepth = 0.2;
    layer.brightness.add(bar(64), 0.45);
    ChannelWriter ll(layer, 1212);
    ll.melody(64, kMelodyB, 0.9, -12);
    ll.melody(72, kClimax, 0.9, -12);

    Channel& bell = addChannel(song, "bell", Instrument::Bell, 0.4, 0.15);
    bell.reverbSend = 0.55;
    bell.delaySend = 0.35;
    ChannelWriter be(bell, 1313);
    be.melody(4, kIntroBell, 0.75);
    be.melody(48, kBreakBell, 0.85);
    be.melody(76, kOutroBell, 0.8);
}

}  // namespace

Song buildSong() {
    Song song;
    song.lengthSamples = kSongSamples;
    song.channels.reserve(32);  // writers keep references into the vector
    writeDrums(song);
    writeHarmony(song);
    writeMelody(song);
    // The credits fade: full level until bar 80, then down to silence at the file's end.
    song.masterGain.add(bar(80), 1.0).add(bar(84), 0.55).add(sampleToBeat(kSongSamples), 0.0);
    return song;
}

}  // namespace music
