#!/usr/bin/env python3
"""Writes halvane.timeline, the film's sync tracks, cut to the music.

The timeline text is the source that gets committed and compiled; this script only
saves typing the repeated light pulses and checks the camera and light paths against
the warehouse (inside the hall, clear of columns, racks, trusses and the forklift).
Run: python3 timeline/gen_timeline.py > timeline/halvane.timeline
"""
import math
import sys

RPB, BPB = 8, 4            # rows per beat, beats per bar: 120 BPM, 16 rows per second
BAR = RPB * BPB            # 32 rows = 2 s
LAST_BAR = 84              # music ends at bar 84 (168 s)
END_ROW = 86 * BAR         # keys run through the tail (~172 s)

# Sections by bar, as the music is arranged.
SECTIONS = [("intro", 0, 8), ("build", 8, 24), ("main", 24, 48), ("break", 48, 56),
            ("finale", 56, 76), ("outro", 76, 84)]


def pos(bar, beat=0.0):
    return "%d:%g" % (bar, beat) if beat else "%d:0" % bar


def fmt(v):
    s = "%.3f" % v
    s = s.rstrip("0").rstrip(".")
    return "0" if s in ("-0", "") else s


class Track:
    def __init__(self, name):
        self.name, self.keys = name, []   # (row, label, value, type, comment)

    def key(self, row_or_bar, value, kind="smooth", comment="", beat=0.0):
        if isinstance(row_or_bar, tuple):
            bar, beat = row_or_bar
        else:
            bar = row_or_bar
        row = int(round(bar * BAR + beat * RPB))
        label = "%d:%g" % (bar, beat)
        if self.keys and row <= self.keys[-1][0]:
            raise SystemExit("%s: rows must increase (%s)" % (self.name, label))
        self.keys.append((row, label, value, kind, comment))

    def value(self, row):
        ks = self.keys
        if row <= ks[0][0]:
            return ks[0][2]
        for (r0, _, v0, t, _c), (r1, _, v1, _t, _c2) in zip(ks, ks[1:]):
            if r0 <= row < r1:
                t_ = (row - r0) / (r1 - r0)
                d = v1 - v0
                return {"step": v0, "linear": v0 + d * t_, "smooth": v0 + d * t_ * t_ * (3 - 2 * t_),
                        "ramp": v0 + d * t_ * t_}[t]
        return ks[-1][2]


def vec_tracks(prefix):
    return [Track(prefix + "." + c) for c in "xyz"]


def vec_keys(tracks, bar, v, kind="smooth", comment=""):
    for t, c in zip(tracks, v):
        t.key(bar, c, kind, comment)


# ---------------------------------------------------------------- the bunch
# The branches hang from this anchor; each is 3.2 units long, so it stays in the aisle
# (|z| < 1) and high enough (y >= 3.5) that the tubes rarely cut the floor.
bunch_path = [
    (0, (8.0, 4.6, 0.0), "far down the aisle, a silhouette"),
    (8, (5.0, 4.4, 0.0), ""),
    (16, (2.5, 4.2, 0.3), "drifting towards the camera"),
    (24, (1.0, 4.5, 0.0), "main: the camera circles it"),
    (28, (1.8, 5.0, -0.4), ""),
    (32, (2.8, 4.4, 0.4), ""),
    (36, (3.0, 4.8, -0.3), ""),
    (40, (2.0, 4.3, 0.5), ""),
    (44, (1.0, 5.0, -0.2), ""),
    (48, (0.0, 3.8, 0.0), "break: sinks towards the floor"),
    (52, (-0.5, 3.5, 0.3), ""),
    (56, (0.0, 4.0, 0.0), "finale: the chase down the aisle"),
    (60, (-13.0, 4.5, 0.5), ""),
    (64, (-6.0, 5.0, -0.5), ""),
    (68, (4.0, 4.4, 0.5), ""),
    (72, (13.0, 4.8, -0.3), ""),
    (76, (6.0, 4.5, 0.0), "outro: drifts off behind the credits"),
    (84, (-2.0, 4.6, 0.0), ""),
]

# ---------------------------------------------------------------- the camera
def orbit(bar, centre, angle_deg, height, rx=7.0, rz=3.8):
    a = math.radians(angle_deg)
    return (centre[0] + rx * math.cos(a), height, centre[2] + rz * math.sin(a))


def bunch_at(bar):
    for (b0, p0, _), (b1, p1, _) in zip(bunch_path, bunch_path[1:]):
        if b0 <= bar <= b1:
            t = (bar - b0) / (b1 - b0)
            s = t * t * (3 - 2 * t)
            return tuple(a + (b - a) * s for a, b in zip(p0, p1))
    return bunch_path[-1][1]


camera = [  # bar, eye, target, comment
    (0, (-18.5, 2.0, 0.5), (0.0, 2.6, 0.0), "intro: low at the west end, looking down the aisle"),
    (4, (-16.0, 2.2, -0.6), (2.0, 3.0, 0.0), ""),
    (8, (-13.0, 2.6, -1.2), (4.0, 3.6, 0.0), "build: walks towards the branches"),
    (12, (-9.0, 3.2, -2.8), bunch_at(12), ""),
    (16, (-6.5, 3.6, -3.0), bunch_at(16), "kick enters: swing across the aisle"),
    (20, (-5.5, 4.6, 2.8), bunch_at(20), ""),
    (24, (-3.5, 3.2, 3.6), bunch_at(24), ""),
]
for i, bar in enumerate(range(28, 48, 4)):   # main: one turn around the bunch, a quarter per phrase
    c = bunch_at(bar)
    camera.append((bar, orbit(bar, c, 150 - 64 * (i + 1), 3.0 + (1.6 if i % 2 else 0.0)),
                   (c[0], c[1] - 0.4, c[2]), "main: orbit" if i == 0 else ""))
camera += [
    (48, (-2.5, 6.6, -3.0), (0.0, 3.2, 0.0), "break: crane up, looking down on the branches"),
    (52, (1.5, 7.4, -2.4), (-0.5, 3.0, 0.3), ""),
    (56, (4.0, 6.8, 2.6), (0.0, 3.5, 0.0), "finale: dive into the chase"),
]
# The camera keeps to one side while the bunch overtakes it, so it never flies through the branches.
finale_offsets = [(6.0, -0.8, 3.2), (5.0, 0.5, -3.4), (6.0, 0.2, -3.0), (-6.5, -1.0, -2.8), (4.0, 1.2, -3.2)]
for i, bar in enumerate(range(60, 80, 4)):
    c = bunch_at(bar)
    ox, oy, oz = finale_offsets[i]
    camera.append((bar, (c[0] + ox, c[1] + oy, oz), (c[0], c[1] - 0.5, c[2]), ""))
camera += [
    (80, (17.0, 4.5, 0.6), bunch_at(80), "outro: pulled back to the east end"),
    (86, (18.0, 5.5, 0.0), (-2.0, 4.0, 0.0), ""),
]
# Keep the eye inside the aisle and out of the forklift's reach.
camera = [(b, (max(-18.5, min(18.5, e[0])), max(1.2, min(7.5, e[1])), max(-3.8, min(3.8, e[2]))), t, c)
          for b, e, t, c in camera]

# ---------------------------------------------------------------- the light
light = [
    (0, (-14.0, 6.5, 0.5), "intro: just ahead of the camera"),
    (8, (-10.0, 7.0, 1.5), "build: sweeps across the aisle, rack shadows swing"),
    (12, (-6.0, 7.5, -2.5), ""),
    (16, (-2.0, 7.2, 2.5), ""),
    (20, (1.0, 7.6, -2.5), ""),
    (24, (3.0, 7.5, 2.0), "main: circles above the bunch"),
]
for i, bar in enumerate(range(26, 48, 2)):
    c = bunch_at(bar)
    a = math.radians(60 + 45 * (i + 1))
    light.append((bar, (c[0] + 3.5 * math.cos(a), 7.0 + 0.5 * (i % 2), 3.0 * math.sin(a)), ""))
light += [
    (48, (4.0, 3.0, -2.0), "break: low over the floor, long shadows up the racks"),
    (52, (-3.0, 1.6, 2.0), ""),
    (55, (-5.5, 2.5, -1.0), ""),
    (56, (-2.0, 7.0, 0.0), "finale: back up, swinging side to side"),
]
for i, bar in enumerate(range(58, 76, 2)):
    c = bunch_at(bar)
    light.append((bar, (max(-17.5, min(17.5, c[0] + (2.0 if i % 2 else -2.0))), 7.2, 3.2 if i % 2 else -3.2), ""))
light += [
    (76, (10.0, 7.0, 0.0), "outro: settles over the east end"),
    (86, (12.0, 7.5, 0.0), ""),
]

# ---------------------------------------------------------------- checks
HALL = ((-19.7, 0.3, -11.7), (19.7, 9.7, 11.7))
OBSTACLES = [((x - 0.55, 0, z - 0.55), (x + 0.55, 8.6, z + 0.55)) for x in (-15, -5, 5, 15) for z in (-5, 5)]
OBSTACLES += [((-20, 0, 6.2), (20, 6.5, 8.3)), ((-20, 0, -8.3), (20, 6.5, -6.2)),      # racks
              ((8.7, 0, -4.2), (13.2, 3.5, -2.2)),                                       # forklift
              ((-8.9, 0, -4.8), (-7.1, 2.2, -3.0)), ((2.1, 0, 3.0), (3.9, 1.6, 4.8)),    # crates
              ((-12.6, 0, 3.6), (-8.7, 1.3, 5.1)), ((8.4, 0, 3.4), (10.2, 1.3, 4.9))]    # barrels
OBSTACLES += [((x - 0.4, 8.1, -12), (x + 0.4, 10, 12)) for x in (-15, -5, 5, 15)]        # trusses
OBSTACLES += [((x - 0.8, 8.0, z - 0.8), (x + 0.8, 10, z + 0.8)) for x in (-10, 10) for z in (-6, 6)]


def check_path(what, tracks):
    for row in range(0, END_ROW + 1):
        p = tuple(t.value(row) for t in tracks)
        lo, hi = HALL
        if not all(lo[i] <= p[i] <= hi[i] for i in range(3)):
            raise SystemExit("%s leaves the hall at row %d: %s" % (what, row, p))
        for lo, hi in OBSTACLES:
            if all(lo[i] <= p[i] <= hi[i] for i in range(3)):
                raise SystemExit("%s hits an obstacle %s at row %d: %s" % (what, (lo, hi), row, p))


# ---------------------------------------------------------------- tracks
eye, tar, up = vec_tracks("ts.eyepos"), vec_tracks("ts.tarpos"), vec_tracks("up")
bunch, lightp, mpos = vec_tracks("bunchpos"), vec_tracks("lightP_Off"), vec_tracks("mpos")
for bar, e, t, c in camera:
    vec_keys(eye, bar, e, "smooth", c)
    vec_keys(tar, bar, t, "smooth")
for bar, p, c in bunch_path:
    vec_keys(bunch, bar, p, "smooth", c)
bunch_end = bunch_path[-1][1]
vec_keys(bunch, 86, bunch_end, "step")
for bar, p, c in light:
    vec_keys(lightp, bar, p, "smooth", c)
# Up: level, with a slight roll in the finale that changes with the phrases.
vec_keys(up, 0, (0, 1, 0), "step", "level")
for i, bar in enumerate(range(56, 76, 4)):
    vec_keys(up, bar, ((0.08 if i % 2 else -0.08), 1, 0), "smooth", "finale roll" if i == 0 else "")
vec_keys(up, 76, (0, 1, 0), "step", "level again")
vec_keys(up, 86, (0, 1, 0), "step")
vec_keys(mpos, 0, (0, 0, 0), "step", "unused by the scene; kept flat")
vec_keys(mpos, 86, (0, 0, 0), "step")

check_path("camera", eye)
for row in range(0, END_ROW + 1):
    e = [t.value(row) for t in eye]
    for what, other, least in (("target", tar, 2.0), ("bunch", bunch, 2.5)):
        o = [t.value(row) for t in other]
        if math.dist(e, o) < least:
            raise SystemExit("camera within %g of the %s at row %d" % (least, what, row))
check_path("light", lightp)

blinn = Track("ts.blinnexp")
blinn.key(0, 32, "step", "Blinn-Phong exponent: moderate gloss")
blinn.key(48, 32, "smooth", "break: glossier")
blinn.key(50, 64, "step")
blinn.key(56, 24, "step", "finale: broader highlights")
blinn.key(76, 32, "step")
blinn.key(86, 32, "step")

atten = Track("atten_exp")
atten.key(0, 1.6, "step", "attenuation exponent: tighter pool in the intro")
atten.key(8, 1.6, "smooth")
atten.key(12, 1.4, "step", "build and main")
atten.key(48, 1.4, "smooth", "break: the low light reaches further")
atten.key(50, 1.1, "step")
atten.key(56, 1.3, "step", "finale")
atten.key(76, 1.3, "smooth", "outro")
atten.key(80, 1.5, "step")
atten.key(86, 1.5, "step")

# Light intensity: about 1 at rest; a quick rise on each kick and a decay over three rows.
intens = Track("light_intens")
intens.key(0, 0.0, "smooth", "intro: fade up from black")
intens.key(4, 0.9, "smooth")
intens.key(8, 1.0, "step", "build: steady")


def pulses(track, first_bar, last_bar, beats, peak, rest, accent=None):
    for bar in range(first_bar, last_bar):
        for beat in beats:
            p = accent if (accent and beat == 0) else peak
            track.key((bar, beat), p, "linear", ("kick, bar %d" % bar) if beat == beats[0] else "")
            track.key((bar, beat + 3.0 / RPB), rest, "step")


# Sparse kick as the music places it: once a bar, then on beats 0 and 2, then once more.
pulses(intens, 16, 20, (0,), 1.6, 1.0)
pulses(intens, 20, 23, (0, 2), 1.6, 1.0)
pulses(intens, 23, 24, (0,), 1.6, 1.0)
pulses(intens, 24, 48, (0, 1, 2, 3), 1.8, 1.0, accent=2.0)
intens.key(48, 0.75, "smooth", "break: no drums, a slow swell")
intens.key(54, 0.8, "smooth")
intens.key((55, 2), 1.2, "step")
pulses(intens, 56, 76, (0, 1, 2, 3), 2.0, 1.1, accent=2.3)
intens.key(76, 2.3, "smooth", "outro: last hit, then a slow settle under the credits")
intens.key(78, 0.9, "smooth")
intens.key(84, 0.6, "smooth")
intens.key(86, 0.5, "step")

credits = Track("credits")
credits.key(0, 0, "step", "hidden until the outro")
credits.key(76, 0, "linear", "fade in over two bars")
credits.key(78, 1, "step")
credits.key(86, 1, "step")

tracks = eye + tar + up + [blinn] + bunch + lightp + [atten, intens] + mpos + [credits]
for t in tracks:
    if t.keys[0][0] != 0 or t.keys[-1][0] < LAST_BAR * BAR:
        raise SystemExit("%s must start at row 0 and reach bar %d" % (t.name, LAST_BAR))

out = sys.stdout
out.write("# Halvane: the film's sync tracks, cut to the music.\n")
out.write("# 120 BPM, 4/4: one beat = 8 rows, one bar = 32 rows = 2 s; ROW may be written BAR:BEAT.\n")
out.write("# Written by timeline/gen_timeline.py; edit either, this text is what gets compiled.\n#\n")
out.write("# Sections:")
for name, a, b in SECTIONS:
    out.write(" %s %d-%d," % (name, a, b))
out.write(" tail to bar 86.\n")
out.write("# Types: step holds, linear/smooth/ramp move towards the next key.\n\n")
out.write("rows_per_beat %d\nbeats_per_bar %d\n" % (RPB, BPB))
for t in tracks:
    out.write("\n[%s]\n" % t.name)
    for row, label, v, kind, comment in t.keys:
        line = "%-9s %7s  %s" % (label, fmt(v), kind)
        out.write(("%-29s # %s\n" % (line, comment)) if comment else line + "\n")
