#!/usr/bin/env python3
"""Writes the two sample sounds that `make run` puts where the window looks
for its inputs by default.

    python3 make_samples.py OUTPUT_FOLDER

Both are headerless sound files as Varnel reads them: signed 16-bit samples,
little-endian, one channel, meant to be heard at 22,050 Hz. Each lasts three
seconds (66,150 samples):

    ap1-10.pcm   a spoken-like chirp: six "syllables" whose pitch glides up
                 or down around a man's voice, with vowel-like formants
    M20101.o22   a steady tone (A3 with its octave) that fades in and out

Both are loud, so that their mono mix (a plain sum) goes past full scale and
clips a little wherever a syllable peaks; the stereo mix and the joins keep
them as they are. The result is the same on every run: nothing is random.
Only the Python standard library is used.
"""

import argparse
import array
import math
import os
import sys

RATE = 22050
SECONDS = 3.0
COUNT = int(RATE * SECONDS)

# Syllables: (start s, length s, pitch at start Hz, pitch at end Hz,
#             first formant Hz, second formant Hz)
SYLLABLES = [
    (0.10, 0.32, 120.0, 165.0, 700.0, 1200.0),
    (0.52, 0.26, 170.0, 140.0, 400.0, 2000.0),
    (0.90, 0.40, 130.0, 190.0, 600.0, 1000.0),
    (1.45, 0.22, 180.0, 150.0, 300.0, 2300.0),
    (1.80, 0.36, 140.0, 210.0, 750.0, 1300.0),
    (2.35, 0.45, 200.0, 110.0, 500.0, 1700.0),
]
HARMONICS = 14
CHIRP_PEAK = 27500  # the loudest sample of the chirp
TONE_LEVEL = 11000  # amplitude of the tone's fundamental
TONE_HZ = 220.0
FADE_SECONDS = 0.05


def formant_gain(frequency, first, second):
    """A voice's spectrum, roughly: two resonances over a falling slope."""
    def peak(centre, width):
        return 1.0 / (1.0 + ((frequency - centre) / width) ** 2)
    return (peak(first, 120.0) + 0.6 * peak(second, 180.0)) / (1.0 + frequency / 600.0)


def syllable(duration, pitch_start, pitch_end, first, second):
    """One syllable as floating-point samples, peak about 1."""
    length = int(duration * RATE)
    values = []
    phase = 0.0
    for i in range(length):
        position = i / length
        # Pitch glides along a smooth curve; the phase adds it up.
        pitch = pitch_start + (pitch_end - pitch_start) * (0.5 - 0.5 * math.cos(math.pi * position))
        phase += 2.0 * math.pi * pitch / RATE
        value = 0.0
        for k in range(1, HARMONICS + 1):
            if k * pitch >= RATE / 2:
                break
            value += formant_gain(k * pitch, first, second) * math.sin(k * phase)
        # A quick rise and a longer decay, as a spoken vowel has.
        envelope = math.sin(math.pi * position) ** 0.6 * (1.0 - 0.35 * position)
        values.append(value * envelope)
    return values


def chirp():
    signal = [0.0] * COUNT
    for start, duration, pitch_start, pitch_end, first, second in SYLLABLES:
        offset = int(start * RATE)
        for i, value in enumerate(syllable(duration, pitch_start, pitch_end, first, second)):
            signal[offset + i] += value
    peak = max(abs(value) for value in signal)
    return [round(value / peak * CHIRP_PEAK) for value in signal]


def tone():
    fade = int(FADE_SECONDS * RATE)
    samples = []
    for i in range(COUNT):
        t = i / RATE
        value = math.sin(2.0 * math.pi * TONE_HZ * t) + 0.3 * math.sin(4.0 * math.pi * TONE_HZ * t)
        gain = min(1.0, i / fade, (COUNT - 1 - i) / fade)
        samples.append(round(TONE_LEVEL * gain * value))
    return samples


def write_sound(path, samples):
    data = array.array("h", samples)
    if sys.byteorder != "little":
        data.byteswap()
    with open(path, "wb") as out:
        data.tofile(out)


def main():
    parser = argparse.ArgumentParser(
        description="Writes the sample sounds ap1-10.pcm and M20101.o22 (raw signed 16-bit "
                    "little-endian samples, 22,050 Hz, three seconds each) into OUTPUT_FOLDER, "
                    "which is created if need be.")
    parser.add_argument("folder", metavar="OUTPUT_FOLDER")
    folder = parser.parse_args().folder
    os.makedirs(folder, exist_ok=True)
    write_sound(os.path.join(folder, "ap1-10.pcm"), chirp())
    write_sound(os.path.join(folder, "M20101.o22"), tone())


if __name__ == "__main__":
    main()
