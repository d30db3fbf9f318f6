#!/usr/bin/env python3
"""Writes the reminder chime: two bell-like notes, 0.8 s, 22050 Hz mono 16-bit PCM.

usage: tools/chime/make-chime.py src/reminders/chime.wav
"""
import math
import struct
import sys
import wave

RATE = 22050
LENGTH = 0.8
NOTES = [(0.0, 1318.5), (0.18, 1046.5)]  # start in seconds, frequency in Hz


def sample(t):
    value = 0.0
    for start, frequency in NOTES:
        if t < start:
            continue
        age = t - start
        envelope = math.exp(-age * 6.0) * min(1.0, age / 0.005)
        value += envelope * (math.sin(2 * math.pi * frequency * age)
                             + 0.3 * math.sin(2 * math.pi * 2 * frequency * age))
    return value * 0.35


def main(path):
    frames = bytearray()
    for i in range(int(RATE * LENGTH)):
        level = max(-1.0, min(1.0, sample(i / RATE)))
        frames += struct.pack("<h", int(level * 32767))
    with wave.open(path, "wb") as out:
        out.setnchannels(1)
        out.setsampwidth(2)
        out.setframerate(RATE)
        out.writeframes(bytes(frames))


if __name__ == "__main__":
    main(sys.argv[1])
