"""Minimal Wavefront OBJ writing and reading (v, vt, vn, f p/t/n only).

The game's reader takes exactly this subset: triangles whose corners all
carry position, texture and normal indices, 1-based.
"""
import numpy as np


def _num(value):
    text = "%.5f" % value
    text = text.rstrip("0").rstrip(".")
    return "0" if text in ("-0", "") else text


class Mesh:
    """Triangle soup with per-corner position, uv and normal."""

    def __init__(self):
        self.tris = []  # each: (3 positions, 3 uvs, 3 normals)

    def add_tri(self, p, t, n):
        """Adds a triangle; zero-area ones are dropped, and the corner order
        is made counter-clockwise as seen from the side its normals face."""
        pa = np.asarray(p, float)
        face = np.cross(pa[1] - pa[0], pa[2] - pa[0])
        if np.linalg.norm(face) < 1e-9:
            return
        if np.dot(face, np.sum(np.asarray(n, float), axis=0)) < 0:
            p, t, n = (p[0], p[2], p[1]), (t[0], t[2], t[1]), (n[0], n[2], n[1])
        self.tris.append((tuple(map(tuple, p)), tuple(map(tuple, t)),
                          tuple(map(tuple, n))))

    def add_quad(self, p, t, n):
        """Corners in counter-clockwise order as seen from the front."""
        self.add_tri((p[0], p[1], p[2]), (t[0], t[1], t[2]), (n[0], n[1], n[2]))
        self.add_tri((p[0], p[2], p[3]), (t[0], t[2], t[3]), (n[0], n[2], n[3]))

    def extend(self, other):
        self.tris.extend(other.tris)

    def transformed(self, matrix=None, offset=(0, 0, 0), scale=1.0):
        """Copy moved by a rotation matrix (rows), a scale and an offset."""
        m = np.eye(3) if matrix is None else np.asarray(matrix, float)
        off = np.asarray(offset, float)
        out = Mesh()
        for p, t, n in self.tris:
            pp = [m @ (np.asarray(q) * scale) + off for q in p]
            nn = [m @ np.asarray(q) for q in n]
            out.tris.append((tuple(map(tuple, pp)), t, tuple(map(tuple, nn))))
        return out

    def positions(self):
        return np.array([c for p, _, _ in self.tris for c in p], float)

    def write(self, path, header=None):
        v, vt, vn = {}, {}, {}
        faces = []

        def index(table, key):
            if key not in table:
                table[key] = len(table) + 1
            return table[key]

        for p, t, n in self.tris:
            corner = []
            for k in range(3):
                pk = tuple(_num(c) for c in p[k])
                tk = tuple(_num(c) for c in t[k])
                nrm = np.asarray(n[k], float)
                nrm = nrm / max(np.linalg.norm(nrm), 1e-12)
                nk = tuple(_num(c) for c in nrm)
                corner.append((index(v, pk), index(vt, tk), index(vn, nk)))
            faces.append(corner)
        lines = []
        if header:
            lines += ["# " + h for h in header]
        lines += ["v " + " ".join(k) for k in v]
        lines += ["vt " + " ".join(k) for k in vt]
        lines += ["vn " + " ".join(k) for k in vn]
        lines += ["f " + " ".join("%d/%d/%d" % c for c in f) for f in faces]
        with open(path, "w", newline="\n") as fh:
            fh.write("\n".join(lines) + "\n")


class ObjError(Exception):
    pass


def read_obj(path):
    """Strict reader for the subset; returns (v, vt, vn, faces) arrays.

    faces has shape (F, 3, 3): corner, then (p, t, n) 0-based indices.
    Comment lines are refused too: the game's reader would take any "v"
    word inside one as a vertex.
    """
    v, vt, vn, faces = [], [], [], []
    with open(path, "r") as fh:
        for number, line in enumerate(fh, 1):
            words = line.split()
            if not words:
                continue
            head, rest = words[0], words[1:]
            try:
                if head == "v" and len(rest) == 3:
                    v.append([float(x) for x in rest])
                elif head == "vt" and len(rest) == 2:
                    vt.append([float(x) for x in rest])
                elif head == "vn" and len(rest) == 3:
                    vn.append([float(x) for x in rest])
                elif head == "f" and len(rest) == 3:
                    corners = []
                    for word in rest:
                        parts = word.split("/")
                        if len(parts) != 3 or not all(parts):
                            raise ValueError("corner %r is not p/t/n" % word)
                        corners.append([int(x) - 1 for x in parts])
                    faces.append(corners)
                elif head == "#" and not any(w in ("v", "vt", "vn", "f") for w in rest):
                    continue
                else:
                    raise ValueError("unexpected line %r" % line.strip())
            except ValueError as err:
                raise ObjError("%s:%d: %s" % (path, number, err))
    v, vt, vn = (np.array(a, float).reshape(-1, k) for a, k in ((v, 3), (vt, 2), (vn, 3)))
    faces = np.array(faces, int).reshape(-1, 3, 3)
    for col, arr, name in ((0, v, "v"), (1, vt, "vt"), (2, vn, "vn")):
        idx = faces[:, :, col]
        if idx.size and (idx.min() < 0 or idx.max() >= len(arr)):
            raise ObjError("%s: %s index out of range" % (path, name))
    return v, vt, vn, faces


def distinct_vertices(v, vt, vn, faces):
    """How many vertices the game's indexer will keep (exact duplicates merged)."""
    keys = np.concatenate([v[faces[:, :, 0]], vt[faces[:, :, 1]], vn[faces[:, :, 2]]], axis=2)
    return len(np.unique(np.round(keys.reshape(-1, 8), 4), axis=0))
