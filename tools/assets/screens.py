"""The four full-window pictures: intro, loading, win and game over.

Painted for a 16:9 window (the screen quad is stretched to the window).
"""
import numpy as np
from PIL import Image, ImageDraw, ImageFilter

from .paint import blend, blur, font, text_mask

W, H = 1280, 720

CONTROLS = [
    ("FLIGHT", [("Arrow keys", "turn"), ("W A S D", "slide"), ("ESC", "quit")]),
    ("VIEW", [("F1", "pause"), ("F2", "FPS"), ("F3", "wireframe"), ("F4", "sampling"),
              ("F5", "mipmaps")]),
    ("", [("F8", "culling"), ("F9", "transparency"), ("B", "bloom"), ("M", "sound"),
          ("Z", "depth view")]),
]


def space_backdrop(seed):
    rng = np.random.default_rng(seed)
    y, x = np.mgrid[0:H, 0:W]
    g = (y / H)[..., None]
    img = (10, 14, 38) * (1 - g) + (2, 3, 10) * g
    # nebula: soft coloured clouds
    for colour, cx, cy, s in (((90, 40, 140), 0.25, 0.35, 0.35),
                              ((20, 110, 140), 0.75, 0.6, 0.3)):
        cloud = rng.standard_normal((H // 8, W // 8))
        cloud = np.asarray(Image.fromarray(((cloud + 3) * 40).clip(0, 255).astype(np.uint8))
                           .resize((W, H), Image.BICUBIC).filter(ImageFilter.GaussianBlur(40)),
                           float) / 255
        fall = np.exp(-(((x / W - cx) / s) ** 2 + ((y / H - cy) / (s * 0.8)) ** 2))
        img = img + np.asarray(colour) * (0.55 * fall * cloud)[..., None]
    # stars
    stars = np.zeros((H, W))
    n = 1400
    sx, sy = rng.integers(0, W, n), rng.integers(0, H, n)
    stars[sy, sx] = rng.random(n) ** 3
    img = img + (stars * 255)[..., None] * np.array([0.9, 0.95, 1.0])
    bright = np.zeros((H, W))
    for _ in range(40):
        bx, by = rng.integers(0, W), rng.integers(0, H)
        bright[by, bx] = 1
    glow = blur(bright, 2.5) * 20
    img = img + (np.clip(glow, 0, 1) * 200)[..., None] * np.array([0.8, 0.9, 1.0])
    # a planet rising in the lower right corner
    px, py, pr = W * 0.86, H * 1.28, H * 0.62
    d = np.hypot(x - px, y - py)
    body = np.clip(pr - d + 0.5, 0, 1)
    shade = np.clip(((x - px) * -0.5 + (y - py) * -0.85) / pr, 0, 1)
    planet = (20, 40, 70) + (60, 90, 130) * shade[..., None] ** 1.5
    img = blend(img, planet, body)
    rim = np.exp(-((d - pr) / 10) ** 2) * (0.4 + 0.6 * shade)
    img = img + (rim * 180)[..., None] * np.array([0.5, 0.8, 1.0])
    return img


def glow_text(img, text, fnt, centre, colour, glow_colour, spacing=0, glow=12):
    m = text_mask((W, H), text, fnt, centre, spacing)
    halo = np.clip(blur(m, glow) * 2.2, 0, 1)
    img = img + (halo * 0.8)[..., None] * np.asarray(glow_colour, float)
    return blend(img, colour, m)


def _title(img, text, y, colour, glow_colour, size=150):
    return glow_text(img, text, font("DejaVuSans-Bold.ttf", size), (W / 2, y),
                     colour, glow_colour, spacing=size // 8, glow=14)


def _panel(img, box, alpha=0.55):
    m = Image.new("L", (W, H), 0)
    ImageDraw.Draw(m).rounded_rectangle(box, radius=18, fill=255)
    m = np.asarray(m, float) / 255
    img = blend(img, (8, 12, 28), alpha * m)
    edge = Image.new("L", (W, H), 0)
    ImageDraw.Draw(edge).rounded_rectangle(box, radius=18, outline=255, width=2)
    return blend(img, (70, 160, 220), 0.8 * np.asarray(edge, float) / 255)


def _controls(img):
    img = _panel(img, (150, 400, 1130, 650))
    head = font("DejaVuSans-Bold.ttf", 22)
    key = font("DejaVuSansMono-Bold.ttf", 22)
    text = font("DejaVuSans.ttf", 22)
    layer = Image.new("RGB", (W, H), 0)
    mask = Image.new("L", (W, H), 0)
    draw, mdraw = ImageDraw.Draw(layer), ImageDraw.Draw(mask)
    for column, (title, rows) in enumerate(CONTROLS):
        x = (200, 540, 820)[column]
        gap = 150 if column == 0 else 70
        y = 425
        if title:
            for d in (draw, mdraw):
                d.text((x, y), title, font=head, fill=(120, 200, 255) if d is draw else 255)
        y += 42
        for k, label in rows:
            for d in (draw, mdraw):
                d.text((x, y), k, font=key, fill=(255, 210, 90) if d is draw else 255)
                d.text((x + gap, y), label, font=text, fill=(225, 232, 240) if d is draw else 255)
            y += 33
    m = np.asarray(mask, float) / 255
    return blend(img, np.asarray(layer, float), m)


def _footer(img, text, y=560):
    return glow_text(img, text, font("DejaVuSans-Bold.ttf", 40), (W / 2, y),
                     (255, 225, 140), (200, 120, 20), glow=8)


def intro():
    img = space_backdrop(21)
    img = _title(img, "VELMORA", 165, (235, 248, 255), (40, 150, 255))
    img = glow_text(img, "press SPACE to start", font("DejaVuSans-Bold.ttf", 44),
                    (W / 2, 320), (255, 225, 140), (200, 120, 20), glow=8)
    img = _controls(img)
    return img


def loading():
    img = space_backdrop(22)
    img = _title(img, "LOADING...", 330, (235, 248, 255), (40, 150, 255), size=110)
    bar = np.zeros((H, W))
    bar[420:426, 390:890] = 1
    img = img + (np.clip(blur(bar, 6) * 2.5, 0, 1) * 160)[..., None] * np.array([0.3, 0.7, 1.0])
    img = blend(img, (200, 235, 255), bar)
    return img


def win():
    img = space_backdrop(23)
    img = _title(img, "YOU WIN", 300, (255, 250, 225), (255, 170, 30))
    return _footer(img, "press ENTER to return to the start", 470)


def game_over():
    img = space_backdrop(24)
    img = _title(img, "GAME OVER", 300, (255, 235, 235), (230, 40, 40), size=130)
    return _footer(img, "press ENTER to return to the start", 470)


def write_all(models):
    import os
    from .images import write_bmp
    for name, painter in (("Intro", intro), ("Loading", loading), ("Win", win),
                          ("GameOver", game_over)):
        write_bmp(os.path.join(models, name + ".bmp"), np.clip(painter(), 0, 255))
