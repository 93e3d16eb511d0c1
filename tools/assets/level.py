"""The tunnel network of level 1.

Free space is a union of axis-aligned boxes. All box faces are snapped to
one rectilinear grid; every grid-cell face between a free and a solid cell
becomes a wall quad facing the free cell. Neighbouring quads therefore
always share whole edges: the mesh is closed and free of T-junctions.
"""
import numpy as np

from .objfile import Mesh

HALF = 10.2          # walls stand this far from a tunnel's centre line
TILE = 10.2          # world units per repeat of the wall texture


def _along_z(x, y, z0, z1):
    return ((x - HALF, x + HALF), (y - HALF, y + HALF), (z0, z1))


def _along_x(y, z, x0, x1):
    return ((x0, x1), (y - HALF, y + HALF), (z - HALF, z + HALF))


def _along_y(x, z, y0, y1):
    return ((x - HALF, x + HALF), (y0, y1), (z - HALF, z + HALF))


# Shaft 2 reaches back to z = 44 (not 46) so the ghost hovering at
# z = 46.7 in it keeps its distance from the wall.
SHAFT2_Z0 = 44.0

# (name, ((x0, x1), (y0, y1), (z0, z1)))
TUNNELS = [
    # upper loop, y = 0
    ("start corridor x=0", _along_z(0, 0, -82.2, 110.2)),
    ("upper z=-72", _along_x(0, -72, -94.2, -10.2)),
    ("upper x=-84 south", _along_z(-84, 0, -82.2, 2.1)),
    ("upper x=-84 north", _along_z(-84, 0, SHAFT2_Z0, 110.2)),
    ("upper z=100", _along_x(0, 100, -94.2, 10.2)),
    # vertical links
    ("shaft 1 (x=-84, z=-8.1)", _along_y(-84, -8.1, -49.2, 64.2)),
    ("top corridor y=54", _along_z(-84, 54, -18.3, 66.2)),
    ("shaft 2 (x=-84, z=56.2)", ((-94.2, -73.8), (-10.2, 64.2), (SHAFT2_Z0, 66.2))),
    ("shaft 3 (x=0, z=12)", _along_y(0, 12, -49.2, 0)),
    # lower loop, y = -39
    ("lower x=-84", _along_z(-84, -39, -18.3, 76.2)),
    ("lower z=66", _along_x(-39, 66, -138.2, -73.8)),
    ("lower x=-128", _along_z(-128, -39, 55.8, 110.2)),
    ("lower z=100", _along_x(-39, 100, -138.2, 10.2)),
    ("lower x=0", _along_z(0, -39, 1.8, 110.2)),
]


def boxes():
    return [np.array(b, float) for _, b in TUNNELS]


def grid(box_list):
    """Grid coordinates per axis and the free flag of every cell.

    One solid layer is kept around everything so the outside is solid.
    """
    axes = []
    for a in range(3):
        coords = sorted({round(float(c), 4) for b in box_list for c in b[a]})
        axes.append(np.array([coords[0] - 1.0] + coords + [coords[-1] + 1.0]))
    centres = [0.5 * (c[:-1] + c[1:]) for c in axes]
    cx, cy, cz = np.meshgrid(*centres, indexing="ij")
    free = np.zeros(cx.shape, bool)
    for b in box_list:
        free |= ((cx > b[0][0]) & (cx < b[0][1]) & (cy > b[1][0]) & (cy < b[1][1])
                 & (cz > b[2][0]) & (cz < b[2][1]))
    return axes, free


# Tangent and bitangent axes per wall normal, chosen so that
# tangent x bitangent = normal and walls keep v running upwards.
_FRAMES = {
    (0, +1): ((2, -1), (1, +1)),   # +x: u along -z, v along +y
    (0, -1): ((2, +1), (1, +1)),   # -x: u along +z
    (2, +1): ((0, +1), (1, +1)),   # +z: u along +x
    (2, -1): ((0, -1), (1, +1)),   # -z: u along -x
    (1, +1): ((0, +1), (2, -1)),   # floor: u along +x, v along -z
    (1, -1): ((0, +1), (2, +1)),   # ceiling: u along +x, v along +z
}


def _wall_quad(mesh, axis, sign, at, lo, hi):
    """Quad on plane coord[axis] = at, normal sign * axis, spanning lo..hi."""
    (ta, ts), (ba, bs) = _FRAMES[(axis, sign)]
    corners = []
    for du, dv in ((0, 0), (1, 0), (1, 1), (0, 1)):
        p = [0.0, 0.0, 0.0]
        p[axis] = at
        p[ta] = (lo[ta], hi[ta])[du] if ts > 0 else (hi[ta], lo[ta])[du]
        p[ba] = (lo[ba], hi[ba])[dv] if bs > 0 else (hi[ba], lo[ba])[dv]
        corners.append(p)
    uvs = [(ts * p[ta] / TILE, bs * p[ba] / TILE) for p in corners]
    normal = [0.0, 0.0, 0.0]
    normal[axis] = float(sign)
    mesh.add_quad(corners, uvs, [normal] * 4)


def build_mesh(box_list=None):
    box_list = boxes() if box_list is None else box_list
    axes, free = grid(box_list)
    mesh = Mesh()
    for axis in range(3):
        a = free
        lo_cells = np.take(a, range(0, a.shape[axis] - 1), axis=axis)
        hi_cells = np.take(a, range(1, a.shape[axis]), axis=axis)
        # free below, solid above: wall faces -axis; and the reverse
        for sign, mask in ((-1, lo_cells & ~hi_cells), (+1, ~lo_cells & hi_cells)):
            for idx in zip(*np.nonzero(mask)):
                lo, hi = [0, 0, 0], [0, 0, 0]
                for k in range(3):
                    i = idx[k] + (1 if k == axis else 0)
                    lo[k], hi[k] = axes[k][i], axes[k][i + 1]
                _wall_quad(mesh, axis, sign, axes[axis][idx[axis] + 1], lo, hi)
    return mesh


def point_clearance(point, box_list=None):
    """Distance from a point to the nearest solid cell (negative if inside rock)."""
    box_list = boxes() if box_list is None else box_list
    axes, free = grid(box_list)
    p = np.asarray(point, float)
    lo = [np.meshgrid(*[c[:-1] for c in axes], indexing="ij")[k] for k in range(3)]
    hi = [np.meshgrid(*[c[1:] for c in axes], indexing="ij")[k] for k in range(3)]
    d2 = np.zeros(free.shape)
    for k in range(3):
        d = np.maximum(np.maximum(lo[k] - p[k], p[k] - hi[k]), 0)
        d2 += d * d
    solid = np.sqrt(d2[~free]).min()
    return solid if solid > 0 else -1.0
