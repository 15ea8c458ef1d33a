#!/usr/bin/env python3
"""Makes Kelvara's two sounds into res/: step.wav, a short wooden knock for every step, and
capture.wav, a knock followed by a falling two-tone for a step that takes a piece. Standard
library only (wave); 22050 Hz, mono, 16-bit PCM. Deterministic.

    python3 res/make_sounds.py       # rewrites the WAV files next to this script
"""

import math
import os
import struct
import wave

HERE = os.path.dirname(os.path.abspath(__file__))
RATE = 22050


def knock(duration, pitch, t0=0.0):
    """A struck piece of wood: a damped low tone with a short bright click."""
    n = int(RATE * duration)
    out = []
    seed = 12345
    for i in range(n):
        t = i / RATE
        seed = (seed * 1103515245 + 12345) & 0x7FFFFFFF
        click = ((seed >> 8) / (1 << 22) - 0.5) * math.exp(-t * 900)
        body = math.sin(2 * math.pi * pitch * t) * math.exp(-t * 55)
        over = 0.4 * math.sin(2 * math.pi * pitch * 2.7 * t) * math.exp(-t * 90)
        out.append(0.55 * body + 0.25 * over + 0.6 * click)
    return out


def falling(duration, start, end):
    n = int(RATE * duration)
    out = []
    phase = 0.0
    for i in range(n):
        t = i / RATE
        f = start + (end - start) * (i / n)
        phase += 2 * math.pi * f / RATE
        env = min(1.0, t * 200) * math.exp(-t * 14)
        out.append(0.35 * env * (math.sin(phase) + 0.3 * math.sin(2 * phase)))
    return out


def write(name, samples):
    peak = max(1e-9, max(abs(s) for s in samples))
    scale = 0.8 * 32767 / peak
    with wave.open(os.path.join(HERE, name), "wb") as w:
        w.setnchannels(1)
        w.setsampwidth(2)
        w.setframerate(RATE)
        w.writeframes(b"".join(struct.pack("<h", int(round(s * scale))) for s in samples))


def main():
    write("step.wav", knock(0.09, 420))
    capture = knock(0.06, 420) + falling(0.22, 880, 440)
    write("capture.wav", capture)


if __name__ == "__main__":
    main()
