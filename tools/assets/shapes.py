"""Building blocks for the entity meshes: parametric surfaces, boxes and
extruded outlines, each textured into one rectangle of its atlas.

A region is (u0, v0, u1, v1) in texture space, v growing upwards.
"""
import numpy as np

from .objfile import Mesh


def _in_region(region, s, t):
    u0, v0, u1, v1 = region
    return (u0 + s * (u1 - u0), v0 + t * (v1 - v0))


def surface(fn, nu, nv, region, inward=False):
    """Grid surface of fn(s, t) -> xyz over s, t in [0, 1].

    Normals come from the surface's own derivatives and are turned to face
    away from the surface's centre (or towards it when inward).
    """
    us, vs = np.linspace(0, 1, nu + 1), np.linspace(0, 1, nv + 1)
    pos = np.array([[fn(u, v) for v in vs] for u in us], float)
    h = 1e-4

    def normal(u, v):
        v = min(max(v, 2e-3), 1 - 2e-3)
        du = np.subtract(fn(u + h, v), fn(u - h, v))
        dv = np.subtract(fn(u, v + h), fn(u, v - h))
        n = np.cross(du, dv)
        return n / max(np.linalg.norm(n), 1e-12)

    nrm = np.array([[normal(u, v) for v in vs] for u in us], float)
    centre = pos.reshape(-1, 3).mean(axis=0)
    facing = np.sum(nrm * (pos - centre))
    if (facing < 0) != inward:
        nrm = -nrm
    mesh = Mesh()
    for i in range(nu):
        for j in range(nv):
            ids = ((i, j), (i + 1, j), (i + 1, j + 1), (i, j + 1))
            mesh.add_quad([pos[a, b] for a, b in ids],
                          [_in_region(region, us[a], vs[b]) for a, b in ids],
                          [nrm[a, b] for a, b in ids])
    return mesh


def revolve(profile, nu, nv, region, centre=(0, 0, 0), inward=False, phase=0.0):
    """Surface of revolution about the y axis; profile(t) -> (radius, y)."""
    cx, cy, cz = centre

    def fn(s, t):
        r, y = profile(t)
        a = 2 * np.pi * s + phase
        return (cx + r * np.sin(a), cy + y, cz + r * np.cos(a))
    return surface(fn, nu, nv, region, inward)


def ellipsoid(centre, radii, nu, nv, region):
    rx, ry, rz = radii

    def fn(s, t):
        a, b = 2 * np.pi * s, np.pi * (1 - t)
        return (centre[0] + rx * np.sin(b) * np.sin(a),
                centre[1] + ry * np.cos(b),
                centre[2] + rz * np.sin(b) * np.cos(a))
    return surface(fn, nu, nv, region)


def quad(mesh, corners, region, normal=None):
    """Flat quad, corners counter-clockwise from the front; the region's
    lower-left lands on the first corner."""
    c = np.asarray(corners, float)
    if normal is None:
        normal = np.cross(c[1] - c[0], c[3] - c[0])
        normal /= np.linalg.norm(normal)
    uvs = [_in_region(region, s, t) for s, t in ((0, 0), (1, 0), (1, 1), (0, 1))]
    mesh.add_quad(c, uvs, [normal] * 4)


def box(lo, hi, regions):
    """Axis-aligned box; regions maps face names (+x, -x, +y, -y, +z, -z)
    to texture rectangles, or is one rectangle for all faces. Each face
    reads upright when seen from outside (top faces have -z as up)."""
    x0, y0, z0 = lo
    x1, y1, z1 = hi
    faces = {
        "+z": [(x0, y0, z1), (x1, y0, z1), (x1, y1, z1), (x0, y1, z1)],
        "-z": [(x1, y0, z0), (x0, y0, z0), (x0, y1, z0), (x1, y1, z0)],
        "+x": [(x1, y0, z1), (x1, y0, z0), (x1, y1, z0), (x1, y1, z1)],
        "-x": [(x0, y0, z0), (x0, y0, z1), (x0, y1, z1), (x0, y1, z0)],
        "+y": [(x0, y1, z1), (x1, y1, z1), (x1, y1, z0), (x0, y1, z0)],
        "-y": [(x0, y0, z0), (x1, y0, z0), (x1, y0, z1), (x0, y0, z1)],
    }
    mesh = Mesh()
    for name, corners in faces.items():
        region = regions[name] if isinstance(regions, dict) else regions
        quad(mesh, corners, region)
    return mesh


def extrude(outline, lo, hi, axes, cap_region, side_region):
    """Prism from a convex 2D outline (counter-clockwise in the (a, b)
    plane), extruded along axis c from lo to hi; axes = (a, b, c)."""
    ia, ib, ic = axes
    pts = np.asarray(outline, float)
    amin, bmin = pts.min(axis=0)
    span = np.maximum(pts.max(axis=0) - pts.min(axis=0), 1e-6)

    def at(p, c):
        q = [0.0, 0.0, 0.0]
        q[ia], q[ib], q[ic] = p[0], p[1], c
        return q

    axis_vec = [0.0, 0.0, 0.0]
    axis_vec[ic] = 1.0
    handed = np.dot(np.cross(np.eye(3)[ia], np.eye(3)[ib]), axis_vec)
    mesh = Mesh()
    for c, sign in ((hi, 1.0), (lo, -1.0)):
        n = np.asarray(axis_vec) * sign * handed
        uv = [_in_region(cap_region, (p[0] - amin) / span[0], (p[1] - bmin) / span[1])
              for p in pts]
        for k in range(1, len(pts) - 1):
            mesh.add_tri([at(pts[0], c), at(pts[k], c), at(pts[k + 1], c)],
                         [uv[0], uv[k], uv[k + 1]], [n] * 3)
    perimeter = np.concatenate([[0], np.cumsum(np.linalg.norm(
        np.roll(pts, -1, axis=0) - pts, axis=1))])
    centre2 = pts.mean(axis=0)
    for k in range(len(pts)):
        p, q = pts[k], pts[(k + 1) % len(pts)]
        edge = q - p
        out2 = np.array([edge[1], -edge[0]])
        if np.dot(out2, (p + q) / 2 - centre2) < 0:
            out2 = -out2
        n = np.array(at(out2 / np.linalg.norm(out2), 0.0))
        s0, s1 = perimeter[k] / perimeter[-1], perimeter[k + 1] / perimeter[-1]
        corners = [at(p, lo), at(q, lo), at(q, hi), at(p, hi)]
        uvs = [_in_region(side_region, s, t) for s, t in ((s0, 0), (s1, 0), (s1, 1), (s0, 1))]
        mesh.add_quad(corners, uvs, [n] * 4)
    return mesh


def centred(mesh):
    """Moves a mesh so its bounding box is centred on the origin."""
    pos = mesh.positions()
    mid = 0.5 * (pos.min(axis=0) + pos.max(axis=0))
    return mesh.transformed(offset=-mid)
