#!/usr/bin/python3
"""Renders contact sheets of the generated data for a look by eye.

    /usr/bin/python3 tools/preview_assets.py [DATA_DIR] [OUT_DIR]

Writes textures.png (every picture, DDS files decoded as the game uploads
them, i.e. first stored row at the top), meshes.png (each mesh shaded
with its texture from three sides) and level.png (top and side views of
the tunnels with the placed entities). Needs python3-pil and ImageMagick.
"""
import glob
import os
import subprocess
import sys

import numpy as np
from PIL import Image, ImageDraw

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from assets import images, placements  # noqa: E402
from assets.objfile import read_obj  # noqa: E402


def load_picture(path):
    """Picture as the mesh sees it: v = 0 at the bottom row."""
    if path.lower().endswith(".dds"):
        px = images.decode_dds_level0(path)
        return px[::-1]            # stored first row is v = 0
    return np.asarray(Image.open(path).convert("RGBA"), float)


def textures_sheet(models, out):
    tiles = []
    for path in sorted(glob.glob(os.path.join(models, "**", "*.*"), recursive=True)):
        if not path.lower().endswith((".bmp", ".dds")):
            continue
        px = load_picture(path)
        if px.shape[2] == 4 and os.path.basename(path) in ("captureit.dds", "particle.DDS"):
            bg = np.zeros_like(px[:, :, :3]) + (60, 20, 20)
            a = px[:, :, 3:] / 255
            rgb = px[:, :, :3] * a + bg * (1 - a)
        else:
            rgb = px[:, :, :3]
        name = os.path.join(out, "tex_" + os.path.basename(path) + ".png")
        Image.fromarray(np.clip(rgb, 0, 255).astype(np.uint8)).save(name)
        tiles.append(name)
    subprocess.run(["montage", *tiles, "-tile", "7x", "-geometry", "256x256+4+4",
                    "-background", "#333", "-label", "%f", os.path.join(out, "textures.png")],
                   check=True)


def render(path, texture, view, size=300):
    v, vt, vn, f = read_obj(path)
    tex = load_picture(texture)[:, :, :3] if texture else None
    rot = {"front": np.eye(3),
           "side": np.array([[0, 0, -1], [0, 1, 0], [1, 0, 0]]),
           "top": np.array([[1, 0, 0], [0, 0, -1], [0, 1, 0]]),
           "iso": None}[view]
    if rot is None:
        a, b = np.radians(35), np.radians(-30)
        ry = np.array([[np.cos(a), 0, np.sin(a)], [0, 1, 0], [-np.sin(a), 0, np.cos(a)]])
        rx = np.array([[1, 0, 0], [0, np.cos(b), -np.sin(b)], [0, np.sin(b), np.cos(b)]])
        rot = rx.T @ ry
    p = v @ rot.T
    n = vn @ rot.T
    scale = 0.45 * size / max(np.abs(p[:, :2]).max(), 1e-6)
    img = Image.new("RGB", (size, size), (25, 28, 36))
    draw = ImageDraw.Draw(img)
    tris = p[f[:, :, 0]]
    depth = tris[:, :, 2].mean(axis=1)
    light = np.array([0.4, 0.6, 0.7]) / np.linalg.norm([0.4, 0.6, 0.7])
    for i in np.argsort(depth):
        a, b, c = tris[i]
        if np.cross(b - a, c - a)[2] <= 0:          # back face, culled as in the game
            continue
        nn = n[f[i, :, 2]].mean(axis=0)
        shade = 0.35 + 0.65 * max(0.0, float(nn @ light))
        if tex is not None:
            uv = vt[f[i, :, 1]].mean(axis=0)
            h, w = tex.shape[:2]
            col = tex[int(np.clip((1 - uv[1] % 1.0000001) * h, 0, h - 1)),
                      int(np.clip(uv[0] % 1.0000001 * w, 0, w - 1))]
        else:
            col = np.array([200, 200, 200])
        pts = [(size / 2 + q[0] * scale, size / 2 - q[1] * scale) for q in (a, b, c)]
        draw.polygon(pts, fill=tuple(int(x) for x in np.clip(col * shade, 0, 255)))
    return img


def meshes_sheet(models, out):
    rows = [("spaceship.obj", "ship.bmp"), ("ghost.obj", "ghost.bmp"),
            ("hand.obj", "ghost.bmp"), ("satellite.obj", "satellite_diffuse.DDS"),
            ("plane.obj", "Levels/floor.bmp"), ("direction.obj", "direction_left_diffuse.dds"),
            ("Screen.obj", "Intro.bmp")]
    sheet = Image.new("RGB", (4 * 300, len(rows) * 300))
    for r, (mesh, tex) in enumerate(rows):
        for c, view in enumerate(("front", "side", "top", "iso")):
            sheet.paste(render(os.path.join(models, mesh), os.path.join(models, tex), view),
                        (c * 300, r * 300))
    sheet.save(os.path.join(out, "meshes.png"))


def level_sheet(models, out):
    v, vt, vn, f = read_obj(os.path.join(models, "Levels", "level.obj"))
    tris = v[f[:, :, 0]]
    views = (("top (x right, z down)", 0, 2), ("side (z right, y up)", 2, 1),
             ("front (x right, y up)", 0, 1))
    size, pad = 700, 20
    sheet = Image.new("RGB", (size * 3, size), (15, 15, 20))
    lo, hi = v.min(axis=0) - 5, v.max(axis=0) + 5
    for k, (title, a, b) in enumerate(views):
        img = Image.new("RGB", (size, size), (15, 15, 20))
        d = ImageDraw.Draw(img)
        s = (size - 2 * pad) / max(hi[a] - lo[a], hi[b] - lo[b])

        def px(q):
            y = (q[b] - lo[b]) * s
            return (pad + (q[a] - lo[a]) * s, pad + (y if b == 2 else (hi[b] - lo[b]) * s - y))
        for t in tris:
            d.line([px(t[0]), px(t[1]), px(t[2]), px(t[0])], fill=(70, 90, 120))
        for x, y, z in placements.GHOSTS:
            q = px((x, y, z))
            d.ellipse([q[0] - 2, q[1] - 2, q[0] + 2, q[1] + 2], fill=(230, 230, 255))
        for x, y, z in placements.SATELLITES:
            q = px((x, y, z))
            d.rectangle([q[0] - 2, q[1] - 2, q[0] + 2, q[1] + 2], fill=(255, 200, 40))
        for row in placements.OBSTACLES:
            q = px(row[:3])
            d.rectangle([q[0] - 3, q[1] - 3, q[0] + 3, q[1] + 3], fill=(255, 60, 60))
        for name, x, y, z, _ in placements.SIGNS:
            q = px((x, y, z))
            d.text((q[0] + 3, q[1] - 6), name, fill=(80, 255, 150))
        d.text((5, 5), title, fill=(255, 255, 255))
        sheet.paste(img, (k * size, 0))
    sheet.save(os.path.join(out, "level.png"))


def main():
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    data = sys.argv[1] if len(sys.argv) > 1 else os.path.join(root, "data")
    out = sys.argv[2] if len(sys.argv) > 2 else "/tmp/velmora_preview"
    os.makedirs(out, exist_ok=True)
    models = os.path.join(data, "Models")
    textures_sheet(models, out)
    meshes_sheet(models, out)
    level_sheet(models, out)
    print("previews in", out)


if __name__ == "__main__":
    main()
