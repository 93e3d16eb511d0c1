"""Picture file writers: 24-bit BMP, DXT1/DXT5 DDS with full mip chains,
and tangent-space normal maps from height fields.

Arrays are float RGB(A) in 0..255, shape (height, width, channels), row 0
at the top of the picture.
"""
import struct

import numpy as np


# ---------------------------------------------------------------- BMP

def write_bmp(path, rgb):
    """24-bit uncompressed BMP, pixel data right after the 54-byte header."""
    img = np.clip(np.rint(np.asarray(rgb, float)[:, :, :3]), 0, 255).astype(np.uint8)
    h, w = img.shape[:2]
    if w % 4:
        raise ValueError("BMP width %d is not a multiple of 4" % w)
    pixels = img[::-1, :, ::-1].tobytes()          # bottom row first, BGR
    header = struct.pack("<2sIHHI", b"BM", 54 + len(pixels), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, w, h, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
    with open(path, "wb") as fh:
        fh.write(header + info + pixels)


# ---------------------------------------------------------------- DDS

def _to565(c):
    r = np.rint(c[..., 0] * 31 / 255).astype(np.uint32)
    g = np.rint(c[..., 1] * 63 / 255).astype(np.uint32)
    b = np.rint(c[..., 2] * 31 / 255).astype(np.uint32)
    return (r << 11) | (g << 5) | b


def _from565(v):
    r, g, b = (v >> 11) & 31, (v >> 5) & 63, v & 31
    return np.stack([(r << 3) | (r >> 2), (g << 2) | (g >> 4), (b << 3) | (b >> 2)],
                    axis=-1).astype(float)


def _blocks(img):
    """(H, W, C) -> (H/4 * W/4, 16, C), blocks in row order."""
    h, w, c = img.shape
    ph, pw = max(4, (h + 3) // 4 * 4), max(4, (w + 3) // 4 * 4)
    if (ph, pw) != (h, w):
        img = np.pad(img, ((0, ph - h), (0, pw - w), (0, 0)), mode="edge")
    b = img.reshape(ph // 4, 4, pw // 4, 4, c).transpose(0, 2, 1, 3, 4)
    return b.reshape(-1, 16, c)


def _colour_blocks(rgb):
    """DXT colour blocks (always four-colour mode) for (N, 16, 3) texels."""
    mean = rgb.mean(axis=1, keepdims=True)
    centred = rgb - mean
    cov = np.einsum("nki,nkj->nij", centred, centred)
    axis = np.ones((len(rgb), 3))
    for _ in range(8):                                  # power iteration
        axis = np.einsum("nij,nj->ni", cov, axis)
        axis /= np.maximum(np.linalg.norm(axis, axis=1, keepdims=True), 1e-9)
    proj = np.einsum("nki,ni->nk", centred, axis)
    lo = mean[:, 0] + axis * proj.min(axis=1, keepdims=True)
    hi = mean[:, 0] + axis * proj.max(axis=1, keepdims=True)
    c0, c1 = _to565(np.clip(hi, 0, 255)), _to565(np.clip(lo, 0, 255))
    swap = c0 < c1
    c0, c1 = np.where(swap, c1, c0), np.where(swap, c0, c1)
    p0, p1 = _from565(c0), _from565(c1)
    palette = np.stack([p0, p1, (2 * p0 + p1) / 3, (p0 + 2 * p1) / 3], axis=1)
    dist = ((rgb[:, :, None, :] - palette[:, None, :, :]) ** 2).sum(axis=3)
    idx = dist.argmin(axis=2).astype(np.uint32)
    idx[c0 == c1] = 0
    bits = (idx << (2 * np.arange(16, dtype=np.uint32))).sum(axis=1, dtype=np.uint64)
    out = np.zeros((len(rgb), 8), np.uint8)
    out[:, 0:2] = c0.astype("<u2").view(np.uint8).reshape(-1, 2)
    out[:, 2:4] = c1.astype("<u2").view(np.uint8).reshape(-1, 2)
    out[:, 4:8] = bits.astype("<u4").view(np.uint8).reshape(-1, 4)
    return out


def _alpha_blocks(alpha):
    """DXT5 alpha blocks (eight-level mode) for (N, 16) alpha values."""
    a0 = np.rint(alpha.max(axis=1)).astype(np.uint32)
    a1 = np.rint(alpha.min(axis=1)).astype(np.uint32)
    # palette order of the eight-level mode: a0, a1, then 6:1 ... 1:6 blends
    weights = np.array([0, 7, 1, 2, 3, 4, 5, 6])       # share of a1 in sevenths
    levels = ((7 - weights)[None, :] * a0[:, None] + weights[None, :] * a1[:, None]) / 7.0
    levels = np.floor(levels + 0.5)
    idx = np.abs(alpha[:, :, None] - levels[:, None, :]).argmin(axis=2).astype(np.uint64)
    idx[a0 == a1] = 0
    bits = (idx << (3 * np.arange(16, dtype=np.uint64))).sum(axis=1, dtype=np.uint64)
    out = np.zeros((len(alpha), 8), np.uint8)
    out[:, 0] = a0
    out[:, 1] = a1
    out[:, 2:8] = bits.astype("<u8").view(np.uint8).reshape(-1, 8)[:, :6]
    return out


def _encode_level(img, fourcc):
    blocks = _blocks(img)
    colour = _colour_blocks(blocks[:, :, :3])
    if fourcc == b"DXT1":
        return colour.tobytes()
    alpha = _alpha_blocks(blocks[:, :, 3])
    return np.concatenate([alpha, colour], axis=1).tobytes()


def _half(img):
    h, w, c = img.shape
    if h > 1:
        img = 0.5 * (img[0::2] + img[1::2])
    if w > 1:
        img = 0.5 * (img[:, 0::2] + img[:, 1::2])
    return img


def mip_chain(img):
    """Every level down to 1 x 1 (square power-of-two pictures)."""
    levels = [np.asarray(img, float)]
    while max(levels[-1].shape[:2]) > 1:
        levels.append(_half(levels[-1]))
    return levels


def write_dds(path, img, alpha=False):
    """DXT5 when alpha matters, else DXT1; full mip chain.

    The linear-size field holds level 0's byte count: the game's reader
    takes twice that as the size of all levels together, which a full
    chain (4/3 of level 0) always fits.
    """
    img = np.asarray(img, float)
    h, w = img.shape[:2]
    if h != w or h & (h - 1):
        raise ValueError("DDS pictures here are square powers of two")
    if img.shape[2] == 3:
        img = np.concatenate([img, np.full((h, w, 1), 255.0)], axis=2)
    fourcc = b"DXT5" if alpha else b"DXT1"
    levels = [_encode_level(np.clip(lv, 0, 255), fourcc) for lv in mip_chain(img)]
    flags = 0x1 | 0x2 | 0x4 | 0x1000 | 0x20000 | 0x80000
    caps = 0x1000 | 0x8 | 0x400000
    header = struct.pack("<7I", 124, flags, h, w, len(levels[0]), 0, len(levels))
    header += b"\0" * 44
    header += struct.pack("<2I4s5I", 32, 0x4, fourcc, 0, 0, 0, 0, 0)
    header += struct.pack("<5I", caps, 0, 0, 0, 0)
    assert len(header) == 124
    with open(path, "wb") as fh:
        fh.write(b"DDS " + header + b"".join(levels))


def decode_dds_level0(path):
    """Decode level 0 back to RGBA (for looking at the results)."""
    data = open(path, "rb").read()
    h, w = struct.unpack_from("<II", data, 12)
    fourcc = data[84:88]
    size = 8 if fourcc == b"DXT1" else 16
    nb = ((h + 3) // 4) * ((w + 3) // 4)
    raw = np.frombuffer(data, np.uint8, nb * size, 128).reshape(nb, size)
    col = raw[:, size - 8:]
    c0 = col[:, 0].astype(np.uint32) | (col[:, 1].astype(np.uint32) << 8)
    c1 = col[:, 2].astype(np.uint32) | (col[:, 3].astype(np.uint32) << 8)
    p0, p1 = _from565(c0), _from565(c1)
    pal = np.stack([p0, p1, (2 * p0 + p1) / 3, (p0 + 2 * p1) / 3], axis=1)
    bits = col[:, 4:8].copy().view("<u4")[:, 0]
    idx = (bits[:, None] >> (2 * np.arange(16, dtype=np.uint32))) & 3
    rgb = np.take_along_axis(pal, idx[:, :, None].astype(np.int64), axis=1)
    a = np.full(rgb.shape[:2] + (1,), 255.0)
    if fourcc == b"DXT5":
        a0, a1 = raw[:, 0].astype(float), raw[:, 1].astype(float)
        weights = np.array([0, 7, 1, 2, 3, 4, 5, 6])
        lv = np.floor(((7 - weights)[None] * a0[:, None] + weights[None] * a1[:, None]) / 7 + 0.5)
        ab = np.zeros((nb, 8), np.uint8)
        ab[:, :6] = raw[:, 2:8]
        abits = ab.view("<u8")[:, 0]
        aidx = (abits[:, None] >> (3 * np.arange(16, dtype=np.uint64))) & 7
        a = np.take_along_axis(lv, aidx.astype(np.int64), axis=1)[:, :, None]
    px = np.concatenate([rgb, a], axis=2)
    px = px.reshape(h // 4, w // 4, 4, 4, 4).transpose(0, 2, 1, 3, 4).reshape(h, w, 4)
    return px


# ---------------------------------------------------------------- normals

def normal_map(height, strength=1.0, wrap=True):
    """Tangent-space normals from a height field (row 0 = top of picture).

    RGB = (n * 0.5 + 0.5) * 255 with x along the picture's right and y
    towards its top, as a BMP (stored bottom row first) maps them onto v.
    """
    h = np.asarray(height, float)
    if wrap:
        dx = 0.5 * (np.roll(h, -1, axis=1) - np.roll(h, 1, axis=1))
        dy_down = 0.5 * (np.roll(h, -1, axis=0) - np.roll(h, 1, axis=0))
    else:
        dy_down, dx = np.gradient(h)
    n = np.stack([-dx * strength, dy_down * strength, np.ones_like(h)], axis=2)
    n /= np.linalg.norm(n, axis=2, keepdims=True)
    return (n * 0.5 + 0.5) * 255.0
