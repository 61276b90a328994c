#!/usr/bin/env python3
"""Writes alert.wav, the reminder's chime: two soft bell tones, high then low.

The format is fixed: PCM, 2 channels, 11,000 frames per second, 16 bits, 10,556 frames
(42,224 bytes of samples, a little under a second). Run it again after changing the tones;
the output is the same on every run, so the committed file can be checked against it.

    python3 src/sound/make_alert_wav.py [output.wav]
"""

import math
import os
import struct
import sys
import wave

RATE = 11000
CHANNELS = 2
FRAMES = 10556
PEAK = 0.5  # of full scale: clearly audible, never harsh

# (start in seconds, fundamental in Hz). E5 then C5, a falling major third.
NOTES = [(0.0, 659.25), (0.30, 523.25)]
# (multiple of the fundamental, level, decay time constant in seconds). The upper partials
# fade faster, which is what makes a struck bell sound soft rather than electronic.
PARTIALS = [(1.0, 1.0, 0.30), (2.0, 0.35, 0.12), (3.0, 0.12, 0.06)]
ATTACK = 0.012  # a raised-cosine onset long enough to avoid a click
RELEASE = 0.08  # the last stretch fades to silence so the end does not click either


def note_sample(t, freq):
    if t < 0.0:
        return 0.0
    onset = 0.5 - 0.5 * math.cos(math.pi * t / ATTACK) if t < ATTACK else 1.0
    value = 0.0
    for multiple, level, decay in PARTIALS:
        value += level * math.exp(-t / decay) * math.sin(2.0 * math.pi * freq * multiple * t)
    return onset * value


def render():
    raw = []
    for n in range(FRAMES):
        t = n / RATE
        raw.append(sum(note_sample(t - start, freq) for start, freq in NOTES))
    end = FRAMES / RATE
    for n in range(FRAMES):
        left = end - n / RATE
        if left < RELEASE:
            raw[n] *= 0.5 - 0.5 * math.cos(math.pi * left / RELEASE)
    scale = PEAK / max(abs(v) for v in raw)
    return [int(round(v * scale * 32767)) for v in raw]


def main():
    default = os.path.join(os.path.dirname(os.path.abspath(__file__)), "alert.wav")
    path = sys.argv[1] if len(sys.argv) > 1 else default
    samples = render()
    frames = b"".join(struct.pack("<hh", s, s) for s in samples)
    with wave.open(path, "wb") as out:
        out.setnchannels(CHANNELS)
        out.setsampwidth(2)
        out.setframerate(RATE)
        out.writeframes(frames)
    print(f"{path}: {len(frames)} bytes of samples, {FRAMES / RATE:.3f} s")


if __name__ == "__main__":
    main()
