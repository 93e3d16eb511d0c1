#!/usr/bin/python3
"""Renders contact sheets of the generated data for a look by eye.

    /usr/bin/python3 tools/preview_assets.py [DATA_DIR] [OUT_DIR]

Writes textures.png (every picture, DDS files decoded as the game uploads
them, i.e. first stored row at the top), meshes.png (each mesh shaded
with its texture from three sides) and level.png (top and side views of
the tunnels with the placed entities) and views.png (ray-cast views of the
first signs as the player approaches them). Needs python3-pil and ImageMagick.
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
        if os.path.basename(path) == "captureit.dds":
            return px              # the text renderer maps glyph tops to small v
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


def gl_rows(path):
    """Texture rows in upload order: row 0 is v = 0, as the game sends them."""
    if path.lower().endswith(".dds"):
        return images.decode_dds_level0(path)[:, :, :3]
    return np.asarray(Image.open(path).convert("RGB"), float)[::-1]


def ray_view(models, eye, look, up, signs, size=(320, 200)):
    """Ray-cast picture of the tunnel (and the given signs) from a point."""
    parts = []
    v, vt, vn, f = read_obj(os.path.join(models, "Levels", "level.obj"))
    parts.append((v[f[:, :, 0]], vt[f[:, :, 1]], gl_rows(os.path.join(models, "Levels",
                                                                       "floor_diffuse.DDS"))))
    sv, st, sn, sf = read_obj(os.path.join(models, "direction.obj"))
    for k in signs:
        name, x, y, z, code = placements.SIGNS[k - 1]
        rot = np.array(placements.sign_rotation(code), float)
        tex = gl_rows(os.path.join(models, "direction_%s_diffuse.dds" % name))
        parts.append((sv[sf[:, :, 0]] @ rot.T + (x, y, z), st[sf[:, :, 1]], tex))
    tris = np.concatenate([p[0] for p in parts])
    uvs = np.concatenate([p[1] for p in parts])
    owner = np.concatenate([[i] * len(p[0]) for i, p in enumerate(parts)])
    w, h = size
    fwd = np.asarray(look, float) / np.linalg.norm(look)
    right = np.cross(fwd, up)
    right /= np.linalg.norm(right)
    upv = np.cross(right, fwd)
    ys, xs = np.mgrid[0:h, 0:w]
    t = np.tan(np.radians(22.5))
    dirs = (fwd + ((xs + 0.5) / w * 2 - 1)[..., None] * right * t * w / h
            + (1 - (ys + 0.5) / h * 2)[..., None] * upv * t).reshape(-1, 3)
    dirs /= np.linalg.norm(dirs, axis=1)[:, None]
    a, e1, e2 = tris[:, 0], tris[:, 1] - tris[:, 0], tris[:, 2] - tris[:, 0]
    out = np.zeros((len(dirs), 3))
    sv_ = np.asarray(eye, float) - a
    for c in range(0, len(dirs), 1500):
        d = dirs[c:c + 1500]
        pv = np.cross(d[:, None, :], e2[None])
        det = np.einsum("rti,ti->rt", pv, e1)
        inv = 1 / np.where(np.abs(det) < 1e-12, 1e-12, det)
        u = np.einsum("rti,ti->rt", pv, sv_) * inv
        q = np.cross(sv_, e1)
        vv = np.einsum("ri,ti->rt", d, q) * inv
        tt = np.einsum("ti,ti->t", e2, q)[None] * inv
        ok = (u >= 0) & (vv >= 0) & (u + vv <= 1) & (tt > 1e-6) & (det > 0)
        tt = np.where(ok, tt, np.inf)
        k = tt.argmin(axis=1)
        hit = np.isfinite(tt[np.arange(len(d)), k])
        bu, bv = u[np.arange(len(d)), k], vv[np.arange(len(d)), k]
        uv = uvs[k, 0] * (1 - bu - bv)[:, None] + uvs[k, 1] * bu[:, None] + uvs[k, 2] * bv[:, None]
        for i, part in enumerate(parts):
            sel = hit & (owner[k] == i)
            tex = part[2]
            th, tw = tex.shape[:2]
            ti = (np.floor(uv[sel, 1] * th).astype(int)) % th
            tj = (np.floor(uv[sel, 0] * tw).astype(int)) % tw
            fog = np.exp(-tt[np.arange(len(d)), k][sel] / 120)[:, None]
            out[c:c + 1500][sel] = tex[ti, tj] * (0.35 + 0.65 * fog)
    return Image.fromarray(np.clip(out.reshape(h, w, 3), 0, 255).astype(np.uint8))


def views_sheet(models, out):
    """The first signs as the approaching player sees them."""
    shots = [((0, 1, -45), (0, 0, -1), (0, 1, 0), [1]),
             ((-45, 1, -72), (-1, 0, 0), (0, 1, 0), [2]),
             ((-84, 1, -40), (0, 0, 1), (0, 1, 0), [3]),
             ((-84, 30, -8.1), (0, 1, 0), (0, 0, -1), [4]),
             ((-84, 55, 30), (0, 0, 1), (0, 1, 0), [5]),
             ((-84, -30, 76.2 - 40), (0, 0, 1), (0, 1, 0), [11])]
    tiles = [ray_view(models, *shot) for shot in shots]
    sheet = Image.new("RGB", (3 * 320, 2 * 200))
    for i, tile in enumerate(tiles):
        sheet.paste(tile, ((i % 3) * 320, (i // 3) * 200))
    sheet.save(os.path.join(out, "views.png"))


def main():
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    data = sys.argv[1] if len(sys.argv) > 1 else os.path.join(root, "data")
    out = sys.argv[2] if len(sys.argv) > 2 else "/tmp/velmora_preview"
    os.makedirs(out, exist_ok=True)
    models = os.path.join(data, "Models")
    textures_sheet(models, out)
    meshes_sheet(models, out)
    level_sheet(models, out)
    views_sheet(models, out)
    print("previews in", out)


if __name__ == "__main__":
    main()
