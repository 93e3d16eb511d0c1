"""The entity meshes: ship, ghost, hand, satellite, obstacle panel,
direction sign and picture screen. Each returns a Mesh centred on its
own origin, except the screen, which sits where the fixed camera looks.
"""
import math

import numpy as np

from . import shapes
from .objfile import Mesh

# Texture atlas rectangles (u0, v0, u1, v1), v upwards; the painters in
# textures.py fill the same rectangles.
SHIP = {
    "hull": (0.0, 0.5, 0.5, 1.0),
    "wing": (0.0, 0.0, 0.5, 0.5),
    "canopy": (0.5, 0.75, 0.75, 1.0),
    "engine": (0.5, 0.5, 0.75, 0.75),
    "glow": (0.75, 0.5, 1.0, 0.75),
    "fin": (0.75, 0.75, 1.0, 1.0),
    "dark": (0.5, 0.0, 1.0, 0.5),
}
GHOST = {
    "sheet": (0.0, 1.0, 1.0, 0.12),     # top of the head at the picture's top
    "inside": (0.0, 0.1, 1.0, 0.0),
    "hand": (0.05, 0.3, 0.25, 0.5),
}
SATELLITE = {
    "foil": (0.0, 0.5, 0.5, 1.0),
    "cells": (0.5, 0.0, 1.0, 1.0),
    "frame": (0.0, 0.0, 0.25, 0.25),
    "dark": (0.0, 0.25, 0.25, 0.5),
    "dish": (0.25, 0.0, 0.5, 0.5),
}
PANEL_BORDER = (0.0, 0.0, 1.0, 0.06)
SIGN_EDGE = (0.0, 0.0, 0.03, 0.03)

SIGN_HALF = 4.0          # signs are 8 x 8 units
SIGN_THICKNESS = 0.2
OBSTACLE_SIZE = (16.0, 9.0, 0.5)


# ------------------------------------------------------------------ ship

def _smooth_interp(t, knots, values):
    return float(np.interp(t, knots, values))


def _fuselage():
    # stations along z: nose (-1.3) to flat tail (1.0)
    z = [-1.30, -1.15, -0.90, -0.50, -0.10, 0.40, 0.80, 1.00, 1.00]
    rx = [0.0, 0.08, 0.17, 0.26, 0.31, 0.32, 0.29, 0.27, 0.0]
    ry = [0.0, 0.06, 0.12, 0.17, 0.20, 0.21, 0.19, 0.18, 0.0]
    knots = np.linspace(0, 1, len(z))

    def fn(s, t):
        a = 2 * math.pi * s
        zz = _smooth_interp(t, knots, z)
        return (_smooth_interp(t, knots, rx) * math.sin(a),
                _smooth_interp(t, knots, ry) * math.cos(a),
                zz)
    return shapes.surface(fn, 20, 32, SHIP["hull"])


def _engine(x):
    z = [0.42, 0.50, 0.62, 1.20, 1.36]
    r = [0.0, 0.10, 0.15, 0.15, 0.13]
    knots = np.linspace(0, 1, len(z))

    def body(s, t):
        a = 2 * math.pi * s
        rr = _smooth_interp(t, knots, r)
        return (x + rr * math.sin(a), -0.03 + rr * math.cos(a), _smooth_interp(t, knots, z))

    def nozzle(s, t):
        a = 2 * math.pi * s
        rr = 0.13 * (1 - t)
        return (x + rr * math.sin(a), -0.03 + rr * math.cos(a), 1.36 - 0.06 * t)
    mesh = shapes.surface(body, 16, 8, SHIP["engine"])
    glow = shapes.surface(nozzle, 16, 3, SHIP["glow"])
    # the nozzle is a shallow cup seen from behind: face its normals backwards
    for i, (p, t, n) in enumerate(glow.tris):
        glow.tris[i] = (p, t, tuple((0.0, 0.0, 1.0) for _ in n))
    fixed = Mesh()
    for p, t, n in glow.tris:
        fixed.add_tri(p, t, n)
    mesh.extend(fixed)
    return mesh


def ship():
    mesh = _fuselage()
    mesh.extend(shapes.ellipsoid((0, 0.14, -0.45), (0.15, 0.13, 0.40), 16, 10, SHIP["canopy"]))
    for side in (1, -1):
        wing = [(0.2, -0.1), (0.2, 0.75), (1.25, 0.85), (1.25, 0.6)]
        wing = [(side * a, b) for a, b in wing]
        mesh.extend(shapes.extrude(wing, -0.07, -0.01, (0, 2, 1), SHIP["wing"], SHIP["dark"]))
        tip = [(0.50, -0.07), (0.88, -0.07), (0.88, 0.20), (0.74, 0.20)]
        x0, x1 = sorted((side * 1.22, side * 1.28))
        mesh.extend(shapes.extrude(tip, x0, x1, (2, 1, 0), SHIP["fin"], SHIP["dark"]))
        mesh.extend(_engine(side * 0.36))
    fin = [(0.45, 0.12), (1.0, 0.12), (1.05, 0.60), (0.9, 0.60)]
    mesh.extend(shapes.extrude(fin, -0.03, 0.03, (2, 1, 0), SHIP["fin"], SHIP["dark"]))
    return shapes.centred(mesh)


# ----------------------------------------------------------------- ghost

def _hem(a):
    return -0.88 + 0.09 * math.cos(7 * a)


def ghost():
    def outer(s, t):
        a = 2 * math.pi * s
        if t < 0.35:
            phi = t / 0.35 * math.pi / 2
            r, y = 0.62 * math.sin(phi), 0.38 + 0.62 * math.cos(phi)
        else:
            k = (t - 0.35) / 0.65
            r = 0.62 + 0.2 * k ** 1.6
            y = 0.38 + k * (_hem(a) - 0.38)
        return (r * math.sin(a), y, r * math.cos(a))

    def inner(s, t):
        a = 2 * math.pi * s
        r = 0.82 * (1 - t) ** 0.8
        y = _hem(a) * (1 - t) + (-0.15) * t
        return (r * math.sin(a), y, r * math.cos(a))
    mesh = shapes.surface(outer, 40, 24, GHOST["sheet"])
    mesh.extend(shapes.surface(inner, 40, 6, GHOST["inside"], inward=True))
    return shapes.centred(mesh)


def hand():
    region = GHOST["hand"]
    mesh = shapes.ellipsoid((0, 0, 0), (0.15, 0.17, 0.08), 12, 8, region)
    for k, x in enumerate((-0.09, 0.0, 0.09)):
        length = (0.12, 0.14, 0.12)[k]
        mesh.extend(shapes.ellipsoid((x, 0.15 + length * 0.8, 0), (0.045, length, 0.045),
                                     8, 6, region))
    thumb = shapes.ellipsoid((0, 0, 0), (0.04, 0.1, 0.04), 8, 6, region)
    turn = math.radians(55)
    rot = ((math.cos(turn), -math.sin(turn), 0), (math.sin(turn), math.cos(turn), 0), (0, 0, 1))
    mesh.extend(thumb.transformed(rot, offset=(-0.19, 0.02, 0)))
    return shapes.centred(mesh)


# ------------------------------------------------------------- satellite

def satellite():
    octagon = [(0.38 * math.cos(math.pi / 8 + k * math.pi / 4),
                0.38 * math.sin(math.pi / 8 + k * math.pi / 4)) for k in range(8)]
    mesh = shapes.extrude(octagon, -0.35, 0.35, (0, 2, 1), SATELLITE["dark"], SATELLITE["foil"])
    for side in (1, -1):
        x0, x1 = sorted((side * 0.36, side * 0.62))
        mesh.extend(shapes.box((x0, -0.03, -0.03), (x1, 0.03, 0.03), SATELLITE["frame"]))
        x0, x1 = sorted((side * 0.62, side * 1.32))
        faces = {k: SATELLITE["frame"] for k in ("+x", "-x", "+y", "-y")}
        faces["+z"] = faces["-z"] = SATELLITE["cells"]
        mesh.extend(shapes.box((x0, -0.38, -0.025), (x1, 0.38, 0.025), faces))
    mesh.extend(shapes.box((-0.04, 0.35, -0.04), (0.04, 0.52, 0.04), SATELLITE["frame"]))

    def bowl(lift):
        return lambda t: (0.34 * t, 0.50 + lift * (1 - t) + 0.14 * t * t)
    mesh.extend(shapes.revolve(bowl(0.0), 16, 4, SATELLITE["dish"], inward=True))
    mesh.extend(shapes.revolve(bowl(-0.05), 16, 4, SATELLITE["dark"]))
    mesh.extend(shapes.box((-0.015, 0.5, -0.015), (0.015, 0.86, 0.015), SATELLITE["frame"]))
    mesh.extend(shapes.ellipsoid((0, 0.88, 0), (0.04, 0.04, 0.04), 8, 6, SATELLITE["frame"]))
    return shapes.centred(mesh)


# --------------------------------------------- obstacle, sign and screen

def plane():
    w, h, d = OBSTACLE_SIZE
    faces = {k: PANEL_BORDER for k in ("+x", "-x", "+y", "-y")}
    faces["+z"] = faces["-z"] = (0.0, 0.0, 1.0, 1.0)
    return shapes.box((-w / 2, -h / 2, -d / 2), (w / 2, h / 2, d / 2), faces)


def direction():
    s, t = SIGN_HALF, SIGN_THICKNESS / 2
    faces = {k: SIGN_EDGE for k in ("+x", "-x", "+y", "-y")}
    # the back shows the same picture, unmirrored, for signs seen from behind
    faces["+z"] = faces["-z"] = (0.0, 0.0, 1.0, 1.0)
    return shapes.box((-s, -s, -t), (s, s, t), faces)


def screen():
    """Front face fills the fixed 45-degree view at distance 3.4, whose
    centre is offset by the screen's view translation; a hair of overscan
    keeps the window's last pixel row and column covered."""
    half = 3.4 * math.tan(math.radians(22.5)) * 1.003
    cx, cy = -0.055, 0.115
    lo = (cx - half, cy - half, -0.1)
    hi = (cx + half, cy + half, 0.0)
    return shapes.box(lo, hi, (0.0, 0.0, 1.0, 1.0))


def radius(mesh):
    return float(np.linalg.norm(mesh.positions(), axis=1).max())
