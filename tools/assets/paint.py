"""Small painting helpers on float arrays (0..255 colours, 0..1 masks)."""
import numpy as np
from PIL import Image, ImageDraw, ImageFilter, ImageFont

FONT_DIR = "/usr/share/fonts/truetype/dejavu/"


def font(name, size):
    return ImageFont.truetype(FONT_DIR + name, size)


def tile_noise(rng, size, sigma):
    """Tileable smooth noise, zero mean and unit deviation."""
    white = rng.standard_normal((size, size))
    f = np.fft.fftfreq(size)
    fx, fy = np.meshgrid(f, f)
    kernel = np.exp(-2 * (np.pi * sigma) ** 2 * (fx ** 2 + fy ** 2))
    out = np.real(np.fft.ifft2(np.fft.fft2(white) * kernel))
    return (out - out.mean()) / max(out.std(), 1e-9)


def blend(base, colour, mask):
    """Lays a colour (or colour image) over base with a 0..1 mask."""
    m = np.asarray(mask, float)[..., None]
    return base * (1 - m) + np.asarray(colour, float) * m


def smoothstep(e0, e1, x):
    t = np.clip((x - e0) / (e1 - e0), 0, 1)
    return t * t * (3 - 2 * t)


def mask_from_drawing(size, draw_fn, supersample=4):
    """Antialiased 0..1 mask from a PIL drawing function working at a
    larger scale; draw_fn(draw, scale) paints with fill 255."""
    w, h = size
    img = Image.new("L", (w * supersample, h * supersample), 0)
    draw_fn(ImageDraw.Draw(img), supersample)
    img = img.resize((w, h), Image.LANCZOS)
    return np.asarray(img, float) / 255.0


def blur(mask, radius):
    img = Image.fromarray(np.clip(mask * 255, 0, 255).astype(np.uint8))
    return np.asarray(img.filter(ImageFilter.GaussianBlur(radius)), float) / 255.0


def text_mask(size, text, fnt, centre, spacing=0):
    """0..1 mask of a line of text centred on a point."""
    w, h = size
    img = Image.new("L", (w, h), 0)
    draw = ImageDraw.Draw(img)
    if spacing:
        widths = [draw.textlength(c, font=fnt) for c in text]
        total = sum(widths) + spacing * (len(text) - 1)
        x = centre[0] - total / 2
        for c, cw in zip(text, widths):
            draw.text((x, centre[1]), c, font=fnt, fill=255, anchor="lm")
            x += cw + spacing
    else:
        draw.text(centre, text, font=fnt, fill=255, anchor="mm")
    return np.asarray(img, float) / 255.0


def disc(shape, cx, cy, r, soft=1.0):
    h, w = shape
    y, x = np.mgrid[0:h, 0:w]
    d = np.hypot(x + 0.5 - cx, y + 0.5 - cy)
    return np.clip((r - d) / soft + 0.5, 0, 1), d
