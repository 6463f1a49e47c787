#!/usr/bin/env python3
"""Writes the short tune that the Music Box agent carries: a mono 8 kHz WAV.

usage: make_sound.py OUTPUT.wav
"""
import math
import struct
import sys
import wave

RATE = 8000
NOTES = [523, 659, 784, 1047]  # a rising arpeggio, an eighth of a second each


def main():
    frames = bytearray()
    for frequency in NOTES:
        for i in range(RATE // 8):
            fade = 1 - i / (RATE // 8)
            frames += struct.pack("<h", int(12000 * fade * math.sin(2 * math.pi * frequency * i / RATE)))
    with wave.open(sys.argv[1], "wb") as out:
        out.setnchannels(1)
        out.setsampwidth(2)
        out.setframerate(RATE)
        out.writeframes(bytes(frames))


if __name__ == "__main__":
    main()
