"""Music and sound effects, synthesised with numpy.

Effects are 16-bit mono PCM at 44.1 kHz written with the wave module; the
music is rendered to a temporary WAV and encoded with lame using fixed
options, so the MP3 comes out the same every time.
"""
import os
import subprocess
import tempfile
import wave

import numpy as np

RATE = 44100


def _t(seconds):
    return np.arange(int(seconds * RATE)) / RATE


def _note(name):
    """Frequency of a note such as "A4" or "F#3"."""
    names = {"C": -9, "D": -7, "E": -5, "F": -4, "G": -2, "A": 0, "B": 2}
    step = names[name[0]] + (1 if "#" in name else 0) - (1 if name[1] == "b" else 0)
    octave = int(name[-1])
    return 440.0 * 2 ** ((step + 12 * (octave - 4)) / 12)


def _edges(x, ms=5):
    """Short fades so a sound never starts or stops with a click."""
    n = min(int(RATE * ms / 1000), len(x) // 2)
    ramp = np.linspace(0, 1, n)
    x = x.copy()
    x[:n] *= ramp
    x[len(x) - n:] *= ramp[::-1]
    return x


def _lowpass(x, cutoff):
    """One-pole low-pass; cutoff may vary per sample."""
    cutoff = np.broadcast_to(np.asarray(cutoff, float), x.shape)
    alpha = 1 - np.exp(-2 * np.pi * cutoff / RATE)
    out = np.empty_like(x)
    acc = 0.0
    for i in range(len(x)):
        acc += alpha[i] * (x[i] - acc)
        out[i] = acc
    return out


def _write_wav(path, samples, channels=1):
    data = np.clip(np.asarray(samples), -1, 1)
    pcm = np.rint(data * 32767).astype("<i2")
    with wave.open(path, "wb") as w:
        w.setnchannels(channels)
        w.setsampwidth(2)
        w.setframerate(RATE)
        w.writeframes(pcm.tobytes())


def _normalise(x, peak=0.8):
    return x * (peak / max(np.abs(x).max(), 1e-9))


# ---------------------------------------------------------------- effects

def crash():
    rng = np.random.default_rng(31)
    t = _t(1.6)
    noise = rng.standard_normal(len(t))
    rumble = _lowpass(noise, 300 + 4000 * np.exp(-t * 6)) * np.exp(-t * 2.6)
    thump = np.sin(2 * np.pi * (45 * t + 30 * (1 - np.exp(-t * 8)) / 8)) * np.exp(-t * 4)
    ring = sum(np.sin(2 * np.pi * f * t) * np.exp(-t * d)
               for f, d in ((523, 5), (787, 7), (1311, 9)))
    return _edges(_normalise(2.5 * rumble + thump + 0.12 * ring, 0.9))


def hit():
    rng = np.random.default_rng(32)
    t = _t(0.5)
    freq = 200 + 900 * np.exp(-t * 9)
    phase = 2 * np.pi * np.cumsum(freq) / RATE
    zap = np.sign(np.sin(phase)) * 0.5 + np.sin(2 * phase) * 0.3
    fizz = _lowpass(rng.standard_normal(len(t)), 3000) * 0.4
    return _edges(_normalise((zap + fizz) * np.exp(-t * 7), 0.8))


def hack():
    t_all = []
    for k, name in enumerate(("E6", "G6", "B6", "E7")):
        t = _t(0.09 if k < 3 else 0.35)
        f = _note(name)
        tone = np.sin(2 * np.pi * f * t) + 0.3 * np.sin(2 * np.pi * 2 * f * t)
        env = np.exp(-t * (18 if k < 3 else 9))
        t_all.append(_edges(tone * env, 3))
    return _edges(_normalise(np.concatenate(t_all), 0.7))


def doomed():
    parts = []
    for k, name in enumerate(("G4", "F#4", "F4", "E4")):
        length = 0.45 if k < 3 else 1.2
        t = _t(length)
        f = _note(name) * (1 + 0.012 * np.sin(2 * np.pi * 5.5 * t) * (k == 3))
        phase = 2 * np.pi * np.cumsum(f) / RATE
        tri = 2 / np.pi * np.arcsin(np.sin(phase))
        env = np.minimum(1, t / 0.03) * (np.exp(-t * 1.8) if k == 3 else np.exp(-t * 1.2))
        parts.append(_edges(tri * env, 8))
    return _edges(_normalise(np.concatenate(parts), 0.75), 20)


def win():
    out = np.zeros(int(2.3 * RATE))
    for k, name in enumerate(("C5", "E5", "G5", "C6")):
        start = int(k * 0.14 * RATE)
        t = np.arange(len(out) - start) / RATE
        f = _note(name)
        voice = (np.sin(2 * np.pi * f * t) + 0.35 * np.sin(2 * np.pi * 2 * f * t)
                 + 0.15 * np.sin(2 * np.pi * 3 * f * t))
        env = np.minimum(1, t / 0.01) * np.exp(-t * 1.6)
        out[start:start + len(t)] += voice * env
    t = _t(2.3)
    shimmer = np.sin(2 * np.pi * _note("G6") * t) * np.sin(2 * np.pi * 6 * t) * np.exp(-t * 2)
    return _edges(_normalise(out + 0.2 * shimmer, 0.8), 10)


# ------------------------------------------------------------------ music

BPM = 80
BEAT = 60.0 / BPM
CHORDS = [  # two bars each
    ("A2", ("A3", "C4", "E4", "A4")), ("F2", ("F3", "A3", "C4", "F4")),
    ("C3", ("G3", "C4", "E4", "G4")), ("G2", ("G3", "B3", "D4", "G4")),
    ("A2", ("A3", "C4", "E4", "A4")), ("F2", ("F3", "A3", "C4", "F4")),
    ("E2", ("G3", "B3", "E4", "G4")), ("G2", ("G3", "B3", "D4", "G4")),
]
ARP = (0, 1, 2, 3, 2, 1, 3, 2)      # pattern over the chord's four notes, eighths


def _pad_voice(freq, t, detune):
    phase = 2 * np.pi * freq * t
    tone = sum(np.sin(phase * (1 + d)) for d in (-detune, 0.0, detune))
    return tone + 0.3 * np.sin(2 * phase)


def music():
    bar = 4 * BEAT
    chord_len = 2 * bar
    length = chord_len * len(CHORDS)
    n = int(round(length * RATE))
    left, right = np.zeros(n), np.zeros(n)
    for k, (root, notes) in enumerate(CHORDS):
        start = k * chord_len
        # pads overlap the next chord by half a second; the loop's very end
        # and start stay near silence so the track repeats without a click
        first, last = k == 0, k == len(CHORDS) - 1
        dur = chord_len + (0.0 if last else 0.5)
        t = _t(dur)
        attack = 1.5 if first else 0.6
        release = 2.5 if last else 1.1
        env = np.minimum(1, t / attack) * np.clip((dur - t) / release, 0, 1)
        i0 = int(round(start * RATE))
        for j, name in enumerate(notes):
            f = _note(name)
            pan = 0.3 + 0.4 * (j % 2)
            v = _pad_voice(f, t, 0.003) * env * 0.05
            left[i0:i0 + len(t)] += v * (1 - pan)
            right[i0:i0 + len(t)] += v * pan
        bass = np.sin(2 * np.pi * _note(root) * t) * env * 0.16
        left[i0:i0 + len(t)] += bass
        right[i0:i0 + len(t)] += bass
        # arpeggio in eighths, resting over the last bar of the loop
        steps = 16 if not last else 8
        for s in range(steps):
            name = notes[ARP[s % len(ARP)]]
            f = _note(name) * 2
            tt = _t(1.2)
            pluck = (np.sin(2 * np.pi * f * tt) + 0.2 * np.sin(4 * np.pi * f * tt)) \
                * np.minimum(1, tt / 0.005) * np.exp(-tt * 4.5) * 0.11
            for echo, (gain, side) in enumerate(((1.0, 0.5), (0.45, 0.15), (0.2, 0.85))):
                j0 = i0 + int(round((s * BEAT / 2 + echo * BEAT * 0.75) * RATE))
                j1 = min(j0 + len(tt), n)
                if j0 >= n:
                    continue
                left[j0:j1] += pluck[:j1 - j0] * gain * (1 - side)
                right[j0:j1] += pluck[:j1 - j0] * gain * side
    stereo = np.stack([left, right], axis=1)
    stereo = _normalise(stereo, 0.7)
    fade = min(len(stereo), int(0.05 * RATE))
    stereo[:fade] *= np.linspace(0, 1, fade)[:, None]
    stereo[-fade:] *= np.linspace(1, 0, fade)[:, None]
    return stereo


def write_all(sounds):
    for name, fn in (("crash", crash), ("hit", hit), ("hack", hack),
                     ("doomed", doomed), ("win", win)):
        _write_wav(os.path.join(sounds, name + ".wav"), fn())
    with tempfile.TemporaryDirectory() as tmp:
        wav = os.path.join(tmp, "background.wav")
        _write_wav(wav, music(), channels=2)
        subprocess.run(["lame", "--quiet", "--noreplaygain", "-b", "128", "--cbr",
                        "-q", "2", "-m", "j", wav, os.path.join(sounds, "background.mp3")],
                       check=True)
