#!/usr/bin/python3
"""Checks Velmora's run-time data against what the game's readers take
and against the level's placement tables.

    /usr/bin/python3 tools/check_assets.py DATA_DIR

Exits non-zero with one line per problem; prints a one-line summary.
Needs only Debian's python3 and python3-numpy.
"""
import math
import os
import re
import struct
import sys
import wave

import numpy as np

sys.dont_write_bytecode = True  # the test run must not litter tools/

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from assets import placements  # noqa: E402
from assets.objfile import ObjError, distinct_vertices, read_obj  # noqa: E402

DIRECTIONS = ("left", "updown", "up", "down", "right")
OBJS = ["Models/Levels/level.obj", "Models/spaceship.obj", "Models/ghost.obj",
        "Models/hand.obj", "Models/satellite.obj", "Models/plane.obj",
        "Models/direction.obj", "Models/Screen.obj"]
BMPS = ["Models/ship.bmp", "Models/ghost.bmp", "Models/Levels/floor.bmp",
        "Models/Levels/floor_normal.bmp", "Models/satellite_normal.bmp",
        "Models/Intro.bmp", "Models/Loading.bmp", "Models/Win.bmp", "Models/GameOver.bmp"]
BMPS += ["Models/direction_%s_normal.bmp" % d for d in DIRECTIONS]
DDS = {"Models/Levels/floor_diffuse.DDS": "DXT1", "Models/Levels/floor_specular.DDS": "DXT1",
       "Models/satellite_diffuse.DDS": "DXT1", "Models/satellite_specular.DDS": "DXT1",
       "Models/particle.DDS": "DXT5", "Models/captureit.dds": "DXT5"}
for _d in DIRECTIONS:
    DDS["Models/direction_%s_diffuse.dds" % _d] = "DXT1"
    DDS["Models/direction_%s_specular.dds" % _d] = "DXT1"
WAVS = ["Sounds/%s.wav" % n for n in ("crash", "hit", "hack", "doomed", "win")]
MP3 = "Sounds/background.mp3"
NORMAL_MAPPED = ("Models/Levels/level.obj", "Models/satellite.obj", "Models/direction.obj")
CENTRED = ("Models/spaceship.obj", "Models/ghost.obj", "Models/hand.obj",
           "Models/satellite.obj", "Models/plane.obj", "Models/direction.obj")


class Report:
    def __init__(self):
        self.problems, self.notes, self.files = [], [], 0

    def fail(self, where, text):
        self.problems.append("%s: %s" % (where, text))

    def note(self, text):
        self.notes.append(text)


# ------------------------------------------------------------------ files

def check_obj(path, name, rep, meshes):
    try:
        v, vt, vn, f = read_obj(path)
    except (ObjError, ValueError) as err:
        rep.fail(name, str(err))
        return
    if len(f) == 0:
        rep.fail(name, "no triangles")
        return
    if distinct_vertices(v, vt, vn, f) >= 65536:
        rep.fail(name, "too many distinct vertices for 16-bit indices")
    tri = v[f[:, :, 0]]
    cross = np.cross(tri[:, 1] - tri[:, 0], tri[:, 2] - tri[:, 0])
    area = np.linalg.norm(cross, axis=1)
    if (area < 1e-10).any():
        rep.fail(name, "%d zero-area triangles" % (area < 1e-10).sum())
    facing = np.einsum("ij,ij->i", cross, vn[f[:, :, 2]].sum(axis=1))
    if (facing <= 0).any():
        rep.fail(name, "%d triangles wound against their normals" % (facing <= 0).sum())
    if name in NORMAL_MAPPED:
        uv = vt[f[:, :, 1]]
        d1, d2 = uv[:, 1] - uv[:, 0], uv[:, 2] - uv[:, 0]
        det = d1[:, 0] * d2[:, 1] - d1[:, 1] * d2[:, 0]
        if (np.abs(det) < 1e-9).any():
            rep.fail(name, "triangles with degenerate texture coordinates (no tangent)")
    if name in CENTRED:
        mid = 0.5 * (v.min(axis=0) + v.max(axis=0))
        if np.abs(mid).max() > 0.02 * np.abs(v).max():
            rep.fail(name, "not centred on its origin (box centre %s)" % np.round(mid, 3))
    meshes[name] = (v, vt, vn, f)


def check_bmp(path, name, rep):
    data = open(path, "rb").read()
    if len(data) < 54 or data[:2] != b"BM":
        rep.fail(name, "not a BMP")
        return
    offset = struct.unpack_from("<I", data, 10)[0]
    info, w, h, planes, bpp, comp, size = struct.unpack_from("<IiiHHII", data, 14)
    if offset != 54 or info != 40:
        rep.fail(name, "pixel data must start at byte 54 (offset %d, info %d)" % (offset, info))
    if bpp != 24 or comp != 0 or planes != 1:
        rep.fail(name, "must be 24-bit uncompressed")
    if w <= 0 or h <= 0 or w % 4:
        rep.fail(name, "width %d must be positive and a multiple of 4" % w)
    if size != w * h * 3:
        rep.fail(name, "image-size field %d, expected %d" % (size, w * h * 3))
    if len(data) < 54 + w * h * 3:
        rep.fail(name, "file too short for its pixels")


def dds_levels(w, h, count, block):
    sizes = []
    for _ in range(count):
        if w == 0 and h == 0:
            break
        sizes.append(((w + 3) // 4) * ((h + 3) // 4) * block)
        w, h = max(1, w // 2), max(1, h // 2)
    return sizes


def check_dds(path, name, rep, expected):
    data = open(path, "rb").read()
    if len(data) < 128 or data[:4] != b"DDS ":
        rep.fail(name, "missing DDS magic")
        return
    h, w, linear, _, mips = struct.unpack_from("<IIIII", data, 12)
    fourcc = data[84:88].decode("latin-1")
    if fourcc not in ("DXT1", "DXT3", "DXT5"):
        rep.fail(name, "FourCC %r is not DXT1/DXT3/DXT5" % fourcc)
        return
    if fourcc != expected:
        rep.fail(name, "expected %s, found %s" % (expected, fourcc))
    if mips < 1:
        rep.fail(name, "mip count is 0")
        return
    full = int(math.log2(max(w, h))) + 1
    if mips != full:
        rep.fail(name, "mip chain has %d levels, a full chain has %d" % (mips, full))
    sizes = dds_levels(w, h, mips, 8 if fourcc == "DXT1" else 16)
    if linear != sizes[0]:
        rep.fail(name, "linear size %d is not level 0's %d bytes" % (linear, sizes[0]))
    readable = len(data) - 128
    if mips > 1:
        readable = min(readable, 2 * linear)
    if sum(sizes) > readable:
        rep.fail(name, "levels need %d bytes, the reader gets %d" % (sum(sizes), readable))


def check_wav(path, name, rep):
    try:
        with wave.open(path, "rb") as w:
            frames, rate = w.getnframes(), w.getframerate()
            width, channels = w.getsampwidth(), w.getnchannels()
            data = w.readframes(frames)
    except (wave.Error, EOFError) as err:
        rep.fail(name, "not a readable WAV: %s" % err)
        return
    if width != 2 or rate != 44100:
        rep.fail(name, "expected 16-bit PCM at 44.1 kHz")
    if frames == 0 or len(data) != frames * width * channels:
        rep.fail(name, "sample data missing")
    elif not 0.05 < frames / rate < 3.0:
        rep.fail(name, "lasts %.2f s, effects must be shorter than 3 s" % (frames / rate))


_BITRATES = [0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320]
_RATES = [44100, 48000, 32000]


def check_mp3(path, name, rep):
    """Walks the MPEG-1 Layer III frame headers from start to end."""
    data = open(path, "rb").read()
    pos = 0
    if data[:3] == b"ID3":
        size = data[6:10]
        pos = 10 + ((size[0] << 21) | (size[1] << 14) | (size[2] << 7) | size[3])
    frames, seconds, covered = 0, 0.0, 0
    while pos + 4 <= len(data):
        b1, b2 = data[pos + 1], data[pos + 2]
        if data[pos] != 0xFF or (b1 & 0xFE) != 0xFA:      # sync, MPEG-1, Layer III
            break
        rate_i, sr_i = b2 >> 4, (b2 >> 2) & 3
        if rate_i in (0, 15) or sr_i == 3:
            break
        length = 144000 * _BITRATES[rate_i] // _RATES[sr_i] + ((b2 >> 1) & 1)
        frames += 1
        seconds += 1152 / _RATES[sr_i]
        covered += length
        pos += length
    tail = len(data) - pos
    if frames < 10 or tail > 256:
        rep.fail(name, "not a clean MP3 stream (%d frames, %d bytes left over)" % (frames, tail))
    elif not 30 <= seconds <= 90:
        rep.fail(name, "music lasts %.1f s, expected 30 to 90 s" % seconds)


def check_config(path, rep):
    text = open(path).read()
    values = dict(re.findall(r'^\s*([A-Za-z_]\w*)\s*=\s*"([^"]*)"\s*;', text, re.M))
    for key in ("width", "height", "refresh_rate"):
        if not re.fullmatch(r"\d+", values.get(key, "")):
            rep.fail("config.cfg", "%s must be a quoted integer" % key)
    if values.get("fullscreen") not in ("true", "false"):
        rep.fail("config.cfg", 'fullscreen must be "true" or "false"')


# ------------------------------------------------------------------ level

class Solid:
    """Point queries against the closed level surface."""

    def __init__(self, v, f):
        self.tri = v[f[:, :, 0]]
        a, b, c = self.tri[:, 0], self.tri[:, 1], self.tri[:, 2]
        self.a, self.ab, self.ac = a, b - a, c - a
        n = np.cross(self.ab, self.ac)
        self.n = n / np.linalg.norm(n, axis=1)[:, None]

    def hits(self, p, d):
        """Distances along the ray p + t d to every crossed triangle."""
        pv = np.cross(d, self.ac)
        det = np.einsum("ij,ij->i", self.ab, pv)
        ok = np.abs(det) > 1e-12
        inv = np.where(ok, 1 / np.where(ok, det, 1), 0)
        s = p - self.a
        u = np.einsum("ij,ij->i", s, pv) * inv
        q = np.cross(s, self.ab)
        w = (q @ d) * inv
        t = np.einsum("ij,ij->i", self.ac, q) * inv
        good = ok & (u >= 0) & (w >= 0) & (u + w <= 1) & (t > 1e-9)
        return t[good]

    def inside(self, p):
        d = np.array([0.5372, 0.6124, 0.5800])
        return len(self.hits(np.asarray(p, float), d / np.linalg.norm(d))) % 2 == 1

    def nearest(self, p):
        """Distance to the surface and the index of the nearest triangle."""
        p = np.asarray(p, float)
        a, ab, ac = self.a, self.ab, self.ac
        ap = p - a
        # closest point on each triangle (barycentric clamping by regions)
        d00 = np.einsum("ij,ij->i", ab, ab)
        d01 = np.einsum("ij,ij->i", ab, ac)
        d11 = np.einsum("ij,ij->i", ac, ac)
        d20 = np.einsum("ij,ij->i", ap, ab)
        d21 = np.einsum("ij,ij->i", ap, ac)
        den = d00 * d11 - d01 * d01
        v = (d11 * d20 - d01 * d21) / den
        w = (d00 * d21 - d01 * d20) / den
        inside = (v >= 0) & (w >= 0) & (v + w <= 1)
        best = np.where(inside, np.abs(np.einsum("ij,ij->i", ap, self.n)), np.inf)
        for e0, e1 in ((a, a + ab), (a, a + ac), (a + ab, a + ac)):
            seg = e1 - e0
            t = np.clip(np.einsum("ij,ij->i", p - e0, seg) / np.einsum("ij,ij->i", seg, seg), 0, 1)
            dist = np.linalg.norm(p - (e0 + seg * t[:, None]), axis=1)
            best = np.minimum(best, dist)
        k = int(np.argmin(best))
        return float(best[k]), k

    def clearance(self, p):
        """Free distance around a point; negative when it lies in rock."""
        dist, _ = self.nearest(p)
        return dist if self.inside(p) else -dist


def check_closed(v, f, rep):
    key = np.round(v, 4)
    ids = np.unique(key, axis=0, return_inverse=True)[1].reshape(-1)[f[:, :, 0]]
    edges = np.concatenate([ids[:, [0, 1]], ids[:, [1, 2]], ids[:, [2, 0]]])
    undirected = np.sort(edges, axis=1)
    _, counts = np.unique(undirected, axis=0, return_counts=True)
    if (counts != 2).any():
        rep.fail("level", "%d edges not shared by exactly two triangles" % (counts != 2).sum())
    _, dcounts = np.unique(edges, axis=0, return_counts=True)
    if (dcounts != 1).any():
        rep.fail("level", "neighbouring triangles are wound inconsistently")
    tri = v[f[:, :, 0]]
    volume = np.einsum("ij,ij->i", tri[:, 0], np.cross(tri[:, 1], tri[:, 2])).sum() / 6
    if volume >= 0:
        rep.fail("level", "normals face outwards (enclosed volume %.0f)" % volume)
    return -volume


def mesh_radius(meshes, name):
    return float(np.linalg.norm(meshes[name][0], axis=1).max())


def check_placements(meshes, rep):
    solid = Solid(meshes["Models/Levels/level.obj"][0], meshes["Models/Levels/level.obj"][3])
    ghost_r = mesh_radius(meshes, "Models/ghost.obj")
    hand_r = mesh_radius(meshes, "Models/hand.obj")
    sat_r = mesh_radius(meshes, "Models/satellite.obj")

    start = solid.clearance(placements.START)
    if start < 5:
        rep.fail("start", "only %.2f units of clearance at the origin" % start)
    worst = []
    for i, p in enumerate(placements.GHOSTS, 1):
        c = solid.clearance(p)
        worst.append(c - ghost_r)
        if c < ghost_r:
            rep.fail("ghost %d" % i, "clearance %.2f below its radius %.2f" % (c, ghost_r))
        pivot = (p[0], p[1] - 0.5, p[2])
        if solid.clearance(pivot) < 1.3 + hand_r:
            rep.fail("ghost %d" % i, "its hand's circle reaches a wall")
    for i, p in enumerate(placements.SATELLITES, 1):
        c = solid.clearance(p)
        if i == placements.OUTSIDE_SATELLITE:
            if c > 0:
                rep.fail("satellite %d" % i, "expected outside the tunnels, found inside")
            else:
                rep.note("satellite %d at %s lies outside the tunnels (%.1f units away) "
                         "and cannot be reached" % (i, p, -c))
            continue
        worst.append(c - sat_r)
        if c < sat_r:
            rep.fail("satellite %d" % i, "clearance %.2f below its radius %.2f" % (c, sat_r))
    check_obstacles(solid, meshes, rep)
    check_clear_of_obstacles(meshes, rep, ghost_r, sat_r)
    check_signs(solid, meshes, rep)
    rep.note("ghost/satellite spare clearance at least %.2f units" % min(worst))


def check_obstacles(solid, meshes, rep):
    v = meshes["Models/plane.obj"][0]
    ship = meshes["Models/spaceship.obj"][0]
    ship_size = np.sort(ship.max(axis=0) - ship.min(axis=0))
    need = ship_size[1] + 0.5          # the ship's cross-section, its length aside
    for i, (x, y, z, skip_z, skip_y) in enumerate(placements.OBSTACLES, 1):
        rot = np.array(placements.obstacle_rotation(skip_z, skip_y), float)
        centre = np.array([x, y, z], float)
        pts = v @ rot.T + centre
        for q in pts:
            if solid.clearance(q) < 0.05:
                rep.fail("obstacle %d" % i, "reaches into the wall at %s" % np.round(q, 2))
                break
        thin = int(np.argmin(np.ptp(pts, axis=0)))
        gap = 0.0
        for axis in range(3):
            if axis == thin:
                continue
            for sign in (1, -1):
                d = np.zeros(3)
                d[axis] = sign
                wall = solid.hits(centre, d).min()
                reach = np.max(sign * (pts[:, axis] - centre[axis]))
                gap = max(gap, wall - reach)
        if gap < need:
            rep.fail("obstacle %d" % i, "widest way around is %.2f, the ship needs %.2f" % (gap, need))


def check_clear_of_obstacles(meshes, rep, ghost_r, sat_r):
    """Ghosts and satellites must not poke through an obstacle panel."""
    v = meshes["Models/plane.obj"][0]
    lo, hi = v.min(axis=0), v.max(axis=0)
    for i, (x, y, z, skip_z, skip_y) in enumerate(placements.OBSTACLES, 1):
        rot = np.array(placements.obstacle_rotation(skip_z, skip_y), float)
        for kind, table, r in (("ghost", placements.GHOSTS, ghost_r),
                               ("satellite", placements.SATELLITES, sat_r)):
            for j, p in enumerate(table, 1):
                local = rot.T @ (np.asarray(p, float) - (x, y, z))
                gap = np.linalg.norm(np.maximum(np.maximum(lo - local, local - hi), 0))
                if gap < r:
                    rep.fail("%s %d" % (kind, j), "overlaps obstacle %d" % i)


def check_signs(solid, meshes, rep):
    v = meshes["Models/direction.obj"][0]
    half = np.abs(v[:, :2]).max(axis=0)
    for i, (name, x, y, z, code) in enumerate(placements.SIGNS, 1):
        rot = np.array(placements.sign_rotation(code), float)
        centre = np.array([x, y, z], float)
        dist, k = solid.nearest(centre)
        wall_n = solid.n[k]
        face_n = rot @ np.array([0.0, 0.0, 1.0])
        if dist > 0.5:
            rep.fail("sign %d" % i, "%.2f units from the nearest wall" % dist)
            continue
        if abs(abs(face_n @ wall_n) - 1) > 1e-6:
            rep.fail("sign %d" % i, "does not lie flat on its wall")
            continue
        if face_n @ wall_n < 0:
            rep.note("sign %d (%s) is seen from its back face" % (i, name))
        for sx, sy in ((1, 1), (1, -1), (-1, 1), (-1, -1)):
            corner = centre + rot @ np.array([sx * half[0], sy * half[1], 0.0])
            if not solid.inside(corner + 0.3 * wall_n) or solid.inside(corner - 0.3 * wall_n):
                rep.fail("sign %d" % i, "overhangs the edge of its wall")
                break


# ------------------------------------------------------------------- main

def main():
    if len(sys.argv) != 2:
        print("usage: check_assets.py DATA_DIR")
        return 2
    data = sys.argv[1]
    rep = Report()
    meshes = {}
    every = OBJS + BMPS + list(DDS) + WAVS + [MP3, "config.cfg"]
    for name in every:
        path = os.path.join(data, name)
        if not os.path.isfile(path):
            rep.fail(name, "missing")
            continue
        rep.files += 1
        if name.endswith(".obj"):
            check_obj(path, name, rep, meshes)
        elif name.endswith(".bmp"):
            check_bmp(path, name, rep)
        elif name in DDS:
            check_dds(path, name, rep, DDS[name])
        elif name.endswith(".wav"):
            check_wav(path, name, rep)
        elif name.endswith(".mp3"):
            check_mp3(path, name, rep)
        else:
            check_config(path, rep)
    if "Models/Screen.obj" in meshes:
        check_screen(meshes["Models/Screen.obj"], rep)
    level = meshes.get("Models/Levels/level.obj")
    if level is not None:
        if len(level[3]) >= 20000:
            rep.fail("level", "%d triangles, keep it under 20000" % len(level[3]))
        check_closed(level[0], level[3], rep)
        needed = ("Models/ghost.obj", "Models/hand.obj", "Models/satellite.obj",
                  "Models/plane.obj", "Models/direction.obj", "Models/spaceship.obj")
        if all(n in meshes for n in needed) and not rep.problems:
            check_placements(meshes, rep)
    for line in rep.notes:
        print("note:", line)
    for line in rep.problems:
        print("FAIL:", line)
    if rep.problems:
        print("asset check: %d files, %d problems" % (rep.files, len(rep.problems)))
        return 1
    print("asset check: %d files, all good" % rep.files)
    return 0


def check_screen(mesh, rep):
    v, vt, vn, f = mesh
    if len(f) < 12:
        rep.fail("Screen.obj", "needs at least 12 triangles (36 vertices)")
        return
    front = v[f[:2, :, 0]].reshape(-1, 3)
    uv = vt[f[:2, :, 1]].reshape(-1, 2)
    half = 3.4 * math.tan(math.radians(22.5))
    lo = np.array([-0.055 - half, 0.115 - half])
    hi = np.array([-0.055 + half, 0.115 + half])
    if np.abs(front[:, 2]).max() > 1e-6 or (vn[f[:2, :, 2]].reshape(-1, 3)[:, 2] < 0.99).any():
        rep.fail("Screen.obj", "the first two triangles must be the front face at z = 0")
    if (front[:, :2].min(axis=0) > lo + 1e-3).any() or (front[:, :2].max(axis=0) < hi - 1e-3).any():
        rep.fail("Screen.obj", "front face does not fill the window")
    if uv.min() < -1e-6 or uv.max() > 1 + 1e-6 or np.ptp(uv, axis=0).min() < 1 - 1e-6:
        rep.fail("Screen.obj", "front face must carry the whole picture")
    rest = v[f[2:12, :, 0]].reshape(-1, 3)
    if rest[:, 2].max() > 1e-6:
        rep.fail("Screen.obj", "faces after the front one must lie behind it")


if __name__ == "__main__":
    sys.exit(main())
