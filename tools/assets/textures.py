"""Textures of the level, the entities, the particle sprite and the font.

Every painter works on the picture as it should look on its mesh (row 0 at
the top, v = 1). DDS files store their first row at v = 0, so DDS
pictures are written flipped; BMP files store the bottom row first, so
they are written as painted.
"""
import os

import numpy as np

from . import images, meshes
from .paint import (blend, blur, disc, font, mask_from_drawing, smoothstep,
                    tile_noise)


def _region_px(region, size):
    """Pixel box (x0, y0, x1, y1) of an atlas rectangle (v upwards)."""
    u0, v0, u1, v1 = region
    w, h = size
    ys = sorted(((1 - v0) * h, (1 - v1) * h))
    return int(round(min(u0, u1) * w)), int(round(ys[0])), int(round(max(u0, u1) * w)), int(round(ys[1]))


# ------------------------------------------------------------ level walls

def wall_panels(size=512):
    """Tunnel wall plates: diffuse, specular and height, tiling."""
    rng = np.random.default_rng(11)
    y, x = np.mgrid[0:size, 0:size]
    plate = size // 2
    px, py = x % plate, y % plate
    # one plate of the four carries a light strip, one has grooves and two
    # stay plain, so the repeat does not look busy from afar
    index = (x // plate) * 2 + (y // plate)
    lit, grooved = index == 0, index == 3
    edge = np.minimum(np.minimum(px, plate - 1 - px), np.minimum(py, plate - 1 - py)).astype(float)
    raised = smoothstep(2.5, 9.0, edge)
    inset = smoothstep(44.0, 40.0, edge)             # 1 on the plate rim, 0 inside
    height = raised * (0.55 + 0.45 * inset)
    groove = grooved & (edge > 44) & ((py - 60) % 26 < 5)
    height = height - 0.18 * groove
    # light strips across the plates without grooves
    strip = lit & (np.abs(py - plate / 2) < 9) & (np.abs(px - plate / 2) < 86)
    strip_soft = blur(strip.astype(float), 3)
    height = height - 0.1 * strip
    # bolts near each plate corner
    bolts = np.zeros((size, size))
    for bx in (20, plate - 21):
        for by in (20, plate - 21):
            d = np.hypot(px - bx, py - by)
            bolts = np.maximum(bolts, np.sqrt(np.clip(1 - (d / 7.5) ** 2, 0, 1)))
    height = np.maximum(height, 0.9 * (bolts > 0) + 0.35 * bolts)

    grime = tile_noise(rng, size, 40)
    fine = tile_noise(rng, size, 1.2)
    tone = np.array([0.0, 5.0, -4.0, 2.0])[(x // plate) * 2 + (y // plate)]
    steel = np.array([92.0, 101.0, 114.0])
    col = np.broadcast_to(steel, (size, size, 3)) + (tone + 4 * fine + 7 * grime)[..., None]
    col = blend(col, (64, 71, 84), (1 - inset) * raised)
    col = blend(col, (40, 45, 54), groove)
    col = blend(col, (20, 23, 28), 1 - raised)
    bevel_light = raised * (1 - smoothstep(5, 10, edge))
    col = blend(col, (128, 138, 152), 0.55 * bevel_light)
    col = blend(col, (155, 160, 170), (bolts > 0) * (0.5 + 0.5 * bolts))
    glow = np.clip(blur(strip.astype(float), 10) * 1.6, 0, 1)
    col = blend(col, (70, 170, 210), 0.55 * glow)
    col = blend(col, (185, 245, 255), strip_soft)
    # small yellow marker stripes beside the light strips
    mark = lit & (np.abs(py - plate / 2) < 9) & (np.abs(px - plate / 2) > 96) \
        & (np.abs(px - plate / 2) < 120) & (((px + py) // 6) % 2 == 0)
    col = blend(col, (215, 170, 40), mark)

    shine = 120 + 40 * raised - 50 * (1 - inset) * raised - 25 * grime.clip(0, None)
    shine = np.where(raised < 0.2, 10, shine)
    shine = np.maximum(shine, 230 * (bolts > 0))
    shine = np.maximum(shine, 255 * strip_soft)
    shine = np.clip(shine, 0, 255)
    return col, np.repeat(shine[..., None], 3, axis=2), height


def obstacle_panel(w=512, h=256):
    """Barrier panel: gunmetal plate framed by hazard stripes; the bottom
    strip is also the texture of the panel's edges."""
    rng = np.random.default_rng(12)
    y, x = np.mgrid[0:h, 0:w]
    base = np.broadcast_to(np.array([70.0, 74.0, 82.0]), (h, w, 3)) \
        + (5 * tile_noise(rng, 512, 1.5)[:h, :w] + 8 * tile_noise(rng, 512, 30)[:h, :w])[..., None]
    border = 18
    edge = np.minimum(np.minimum(x, w - 1 - x), np.minimum(y, h - 1 - y))
    stripes = ((x + y) // 16) % 2 == 0
    frame = edge < border
    col = blend(base, (230, 180, 30), frame & stripes)
    col = blend(col, (25, 25, 28), frame & ~stripes)
    col = blend(col, (30, 32, 36), (edge >= border) & (edge < border + 3))
    # two crossed braces and bolts
    for sign in (1, -1):
        d = np.abs((y - h / 2) - sign * (x - w / 2) * (h - 2 * border) / (w - 2 * border))
        brace = (d < 10) & (edge >= border + 3)
        col = blend(col, (105, 110, 120), brace)
        col = blend(col, (45, 48, 54), brace & (d > 7))
    for bx in np.linspace(40, w - 40, 9):
        for by in (30, h - 31):
            m, _ = disc((h, w), bx, by, 5)
            col = blend(col, (170, 175, 185), m)
    return col


# ----------------------------------------------------------------- ship

def ship_skin(size=512):
    rng = np.random.default_rng(13)
    col = np.zeros((size, size, 3)) + (60, 62, 70)

    def box(name):
        return _region_px(meshes.SHIP[name], (size, size))

    # hull: columns run around the body (top at the left edge and the
    # right edge, belly in the middle), rows from tail (top) to nose
    x0, y0, x1, y1 = box("hull")
    w, h = x1 - x0, y1 - y0
    yy, xx = np.mgrid[0:h, 0:w]
    s = (xx + 0.5) / w
    t = 1 - (yy + 0.5) / h
    belly = smoothstep(0.22, 0.32, np.abs(s - 0.5) * -1 + 0.5)
    hull = np.zeros((h, w, 3)) + (222, 226, 232)
    hull += 4 * tile_noise(rng, 256, 1.0)[:h, :w, None]
    hull = blend(hull, (96, 102, 114), belly)
    lines = ((yy % 28) < 1.5) | (np.abs(((s * 8) % 1) - 0.5) > 0.48)
    hull = blend(hull, (150, 156, 166), 0.7 * lines)
    stripe = (np.abs(np.abs(s - 0.5) - 0.33) < 0.03) & (t > 0.15)
    hull = blend(hull, (200, 40, 45), stripe)
    accent = (np.abs(np.abs(s - 0.5) - 0.40) < 0.012) & (t > 0.25)
    hull = blend(hull, (40, 160, 230), accent)
    nose = smoothstep(0.1, 0.04, t)
    hull = blend(hull, (60, 64, 74), nose)
    col[y0:y1, x0:x1] = hull

    x0, y0, x1, y1 = box("wing")
    w, h = x1 - x0, y1 - y0
    yy, xx = np.mgrid[0:h, 0:w]
    u = (xx + 0.5) / w
    wing = np.zeros((h, w, 3)) + (200, 205, 214)
    wing += 4 * tile_noise(rng, 256, 1.0)[:h, :w, None]
    wing = blend(wing, (150, 156, 166), 0.8 * (((xx % 32) < 1.5) | ((yy % 40) < 1.5)))
    tips = (u < 0.12) | (u > 0.88)
    wing = blend(wing, (200, 40, 45), tips)
    wing = blend(wing, (40, 160, 230), (np.abs(u - 0.16) < 0.012) | (np.abs(u - 0.84) < 0.012))
    col[y0:y1, x0:x1] = wing

    x0, y0, x1, y1 = box("canopy")
    h = y1 - y0
    g = np.linspace(0, 1, h)[:, None, None]
    canopy = (20, 40, 80) * (1 - g) + (60, 120, 190) * g
    canopy = np.broadcast_to(canopy, (h, x1 - x0, 3)).copy()
    hl = np.zeros((h, x1 - x0))
    hl[int(h * 0.2):int(h * 0.3), :] = 1
    canopy = blend(canopy, (200, 230, 255), 0.6 * blur(hl, 3))
    col[y0:y1, x0:x1] = canopy

    x0, y0, x1, y1 = box("engine")
    yy, xx = np.mgrid[0:y1 - y0, 0:x1 - x0]
    eng = np.zeros((y1 - y0, x1 - x0, 3)) + (120, 124, 134)
    eng = blend(eng, (70, 74, 84), ((yy // 10) % 3 == 0))
    eng = blend(eng, (200, 40, 45), (yy > 100) & (yy < 110))
    col[y0:y1, x0:x1] = eng

    x0, y0, x1, y1 = box("glow")
    h = y1 - y0
    g = np.linspace(1, 0, h)[:, None, None]          # top = nozzle centre
    glow = (255, 250, 220) * g ** 2 + (255, 130, 30) * (1 - g ** 2) * g + (60, 20, 10) * (1 - g)
    col[y0:y1, x0:x1] = np.broadcast_to(glow, (h, x1 - x0, 3))

    x0, y0, x1, y1 = box("fin")
    yy, xx = np.mgrid[0:y1 - y0, 0:x1 - x0]
    fin = np.zeros((y1 - y0, x1 - x0, 3)) + (190, 38, 44)
    fin = blend(fin, (235, 235, 240), np.abs(xx - yy) < 10)
    col[y0:y1, x0:x1] = fin

    x0, y0, x1, y1 = box("dark")
    col[y0:y1, x0:x1] = (52, 55, 62)
    return col


# ---------------------------------------------------------------- ghost

def ghost_skin(size=256):
    rng = np.random.default_rng(14)
    yy, xx = np.mgrid[0:size, 0:size]
    x0, y0, x1, y1 = _region_px(meshes.GHOST["sheet"], (size, size))
    v = 1 - (yy + 0.5) / size
    t = (1 - v) / 0.88                                  # 0 top of head, 1 hem
    col = np.zeros((size, size, 3)) + (232, 238, 252)
    folds = tile_noise(rng, size, 3)
    folds = np.repeat(folds[size // 2:size // 2 + 1], size, axis=0)  # vertical streaks
    col += (8 * folds * smoothstep(0.3, 1.0, t))[..., None]
    col = blend(col, (170, 180, 225), 0.55 * smoothstep(0.55, 1.0, t))
    col = blend(col, (255, 255, 255), 0.4 * smoothstep(0.25, 0.0, t))
    # face: two eyes and a mouth, looking along the mesh's -z axis (u = 0.5)
    def face(draw, k):
        ey = size * (1 - (1 - 0.30 * 0.88))
        for ex in (0.455, 0.545):
            cx = ex * size
            draw.ellipse([(cx - 7) * k, (ey - 11) * k, (cx + 7) * k, (ey + 11) * k], fill=255)
        my = size * 0.37
        draw.ellipse([(size / 2 - 8) * k, (my - 6) * k, (size / 2 + 8) * k, (my + 7) * k], fill=255)
    dark = mask_from_drawing((size, size), face)
    col = blend(col, (30, 28, 50), dark)
    for ex in (0.455, 0.545):
        shine, _ = disc((size, size), ex * size + 2.5, size * 0.264 - 4, 2.2)
        col = blend(col, (255, 255, 255), shine)
    blush = np.zeros((size, size))
    for ex in (0.42, 0.58):
        m, _ = disc((size, size), ex * size, size * 0.33, 6)
        blush = np.maximum(blush, m)
    col = blend(col, (250, 170, 200), 0.45 * blur(blush, 3))
    x0, y0, x1, y1 = _region_px(meshes.GHOST["inside"], (size, size))
    col[y0:y1] = (118, 116, 160)
    return col


# ------------------------------------------------------------- satellite

def satellite_skin(size=512):
    rng = np.random.default_rng(15)
    col = np.zeros((size, size, 3))
    height = np.zeros((size, size))
    shine = np.zeros((size, size))

    def box(name):
        return _region_px(meshes.SATELLITE[name], (size, size))

    x0, y0, x1, y1 = box("foil")
    n = tile_noise(rng, 256, 6)[: y1 - y0, : x1 - x0]
    facets = np.abs(np.sin(n * 4.0))
    foil = (205, 160, 55) + (45 * facets - 20)[..., None] * np.array([1.0, 0.9, 0.5])
    col[y0:y1, x0:x1] = foil
    height[y0:y1, x0:x1] = 0.4 * facets
    shine[y0:y1, x0:x1] = 170 + 80 * facets

    x0, y0, x1, y1 = box("cells")
    yy, xx = np.mgrid[0:y1 - y0, 0:x1 - x0]
    w, h = x1 - x0, y1 - y0
    cw, ch = w / 4, h / 8
    cx, cy = (xx % cw), (yy % ch)
    line = (cx < 3) | (cy < 3) | (xx > w - 4) | (yy > h - 4)
    grad = (cy / ch)[..., None]
    cells = (22, 40, 110) * (1 - grad) + (45, 80, 170) * grad
    cells = cells + (6 * tile_noise(rng, 256, 1)[:, :1].repeat(2, 0)[:h, :1] * 0)[..., None]
    fingers = (cx % 16 < 1.2) & ~line
    cells = blend(cells, (90, 120, 190), fingers)
    cells = blend(cells, (200, 205, 215), line)
    col[y0:y1, x0:x1] = cells
    height[y0:y1, x0:x1] = np.where(line, 1.0, 0.5)
    shine[y0:y1, x0:x1] = np.where(line, 200, 235)

    x0, y0, x1, y1 = box("frame")
    col[y0:y1, x0:x1] = (196, 200, 208)
    shine[y0:y1, x0:x1] = 220
    x0, y0, x1, y1 = box("dark")
    col[y0:y1, x0:x1] = (58, 60, 66)
    shine[y0:y1, x0:x1] = 60
    x0, y0, x1, y1 = box("dish")
    yy = np.mgrid[0:y1 - y0, 0:x1 - x0][0]
    dish = np.zeros((y1 - y0, x1 - x0, 3)) + (226, 228, 232)
    rings = (yy % 32) < 3
    dish = blend(dish, (160, 164, 172), rings)
    col[y0:y1, x0:x1] = dish
    height[y0:y1, x0:x1] = 0.5 - 0.3 * rings
    shine[y0:y1, x0:x1] = 190
    return col, np.repeat(shine[..., None], 3, axis=2), height


# ----------------------------------------------------------------- signs

def _arrow_polygon(direction, size):
    """Arrow outline in picture pixels: pointing left, right, up or down
    on the picture, or a left-right double arrow for "updown" (its sign is
    turned a quarter turn in its plane, which stands it upright)."""
    c = size / 2
    shaft, head, reach = size * 0.09, size * 0.2, size * 0.3
    if direction == "updown":
        pts = [(-reach, 0), (-reach + head, head), (-reach + head, shaft),
               (reach - head, shaft), (reach - head, head), (reach, 0),
               (reach - head, -head), (reach - head, -shaft),
               (-reach + head, -shaft), (-reach + head, -head)]
    else:
        pts = [(-reach, 0), (-reach + head, head), (-reach + head, shaft),
               (reach, shaft), (reach, -shaft), (-reach + head, -shaft),
               (-reach + head, -head)]
        turn = {"left": (1, 0, 0, 1), "right": (-1, 0, 0, 1),
                "up": (0, 1, 1, 0), "down": (0, -1, -1, 0)}[direction]
        a, b, cc, d = turn
        # picture rows grow downwards: "up" means towards row 0
        pts = [(a * x + b * y, cc * x + d * y) for x, y in pts]
    return [(c + x, c + y) for x, y in pts]


def sign_picture(direction, size=256):
    rng = np.random.default_rng(16)
    yy, xx = np.mgrid[0:size, 0:size]
    edge = np.minimum(np.minimum(xx, size - 1 - xx), np.minimum(yy, size - 1 - yy))
    col = np.zeros((size, size, 3)) + (28, 32, 40)
    col += (3 * tile_noise(rng, size, 1.0))[..., None]
    stripes = ((xx + yy) // 12) % 2 == 0
    frame = edge < 14
    col = blend(col, (235, 185, 30), frame & stripes)
    col = blend(col, (22, 22, 24), frame & ~stripes)
    col = blend(col, (70, 76, 88), (edge >= 14) & (edge < 18))
    poly = _arrow_polygon(direction, size)
    arrow = mask_from_drawing((size, size), lambda d, k: d.polygon(
        [(x * k, y * k) for x, y in poly], fill=255))
    halo = np.clip(blur(arrow, 9) * 1.5, 0, 1) * (1 - arrow)
    col = blend(col, (40, 200, 120), 0.6 * halo * (edge >= 18))
    core = np.clip(1 - blur(1 - arrow, 3) * 1.3, 0, 1)
    col = blend(col, (80, 255, 150), arrow)
    col = blend(col, (225, 255, 235), 0.7 * core)
    height = 0.6 * arrow + 0.8 * smoothstep(18, 14, edge) - 0.3 * ((edge >= 14) & (edge < 18))
    shine = 60 + 120 * frame + 195 * arrow
    return col, np.repeat(np.clip(shine, 0, 255)[..., None], 3, axis=2), height


# -------------------------------------------------------- sprite and font

def particle(size=64):
    _, d = disc((size, size), size / 2, size / 2, size / 2)
    r = d / (size / 2)
    alpha = np.exp(-4.5 * r * r) * smoothstep(1.0, 0.75, r)
    warm = np.clip(r * 1.4, 0, 1)[..., None]
    col = (255, 255, 255) * (1 - warm) + (255, 205, 150) * warm
    return np.concatenate([col, 255 * alpha[..., None]], axis=2)


def font_atlas(size=512):
    """16 x 16 glyph cells, character code c at column c % 16 and row
    c // 16 from the top; light glyphs with a dark rim on transparency.

    Glyphs share one baseline and are clipped to their own cell, so no
    neighbour bleeds into a quad."""
    from PIL import Image, ImageDraw, ImageFilter
    cell = size // 16
    face = font("DejaVuSansMono-Bold.ttf", int(cell * 0.94))
    glyphs = Image.new("L", (size, size), 0)
    for code in list(range(33, 127)) + list(range(161, 256)):
        # drawn narrow and widened, so the monospaced glyphs fill more of
        # their square quad on screen
        narrow = int(cell * 0.8)
        one = Image.new("L", (narrow, cell), 0)
        ImageDraw.Draw(one).text((narrow / 2, cell * 0.76), chr(code), font=face,
                                 fill=255, anchor="ms")
        one = one.resize((cell, cell), Image.LANCZOS)
        glyphs.paste(one, ((code % 16) * cell, (code // 16) * cell))
    rim = glyphs.filter(ImageFilter.MaxFilter(5)).filter(ImageFilter.GaussianBlur(0.8))
    g = np.asarray(glyphs, float) / 255
    r = np.asarray(rim, float) / 255
    inside = (np.arange(size) % cell)
    keep = ((inside > 0) & (inside < cell - 1)).astype(float)
    r = r * keep[:, None] * keep[None, :]                 # rims stay in their cell
    alpha = np.maximum(g, 0.8 * r)
    # a faint cool gradient down each glyph
    shade = np.linspace(1.0, 0.8, cell)[inside][:, None] * np.ones((1, size))
    col = np.stack([242 * g * shade, 250 * g * shade, 255 * g], axis=2)
    return np.concatenate([col, 255 * alpha[..., None]], axis=2)


# ---------------------------------------------------------------- output

def _flip(img):
    return np.asarray(img)[::-1]


def write_all(models):
    levels = os.path.join(models, "Levels")
    col, shine, height = wall_panels()
    images.write_dds(os.path.join(levels, "floor_diffuse.DDS"), _flip(col))
    images.write_dds(os.path.join(levels, "floor_specular.DDS"), _flip(shine))
    images.write_bmp(os.path.join(levels, "floor_normal.bmp"), images.normal_map(height, 3.0))
    images.write_bmp(os.path.join(levels, "floor.bmp"), obstacle_panel())

    images.write_bmp(os.path.join(models, "ship.bmp"), ship_skin())
    images.write_bmp(os.path.join(models, "ghost.bmp"), ghost_skin())

    col, shine, height = satellite_skin()
    images.write_dds(os.path.join(models, "satellite_diffuse.DDS"), _flip(col))
    images.write_dds(os.path.join(models, "satellite_specular.DDS"), _flip(shine))
    images.write_bmp(os.path.join(models, "satellite_normal.bmp"),
                     images.normal_map(height, 2.0, wrap=False))

    for d in ("left", "updown", "up", "down", "right"):
        col, shine, height = sign_picture(d)
        base = os.path.join(models, "direction_" + d)
        images.write_dds(base + "_diffuse.dds", _flip(col))
        images.write_dds(base + "_specular.dds", _flip(shine))
        images.write_bmp(base + "_normal.bmp", images.normal_map(height, 4.0, wrap=False))

    images.write_dds(os.path.join(models, "particle.DDS"), particle(), alpha=True)
    images.write_dds(os.path.join(models, "captureit.dds"), font_atlas(), alpha=True)
