#!/usr/bin/python3
"""Regenerates every run-time data file of Velmora.

    /usr/bin/python3 tools/make_assets.py [DATA_DIR]

DATA_DIR defaults to the repository's data/ folder. Writes data/config.cfg,
the meshes and pictures under data/Models and the sounds under
data/Sounds. All randomness uses fixed seeds, so running it again
reproduces the files byte for byte. Needs Debian's python3-numpy and
python3-pil, and lame for the music.
"""
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

from assets import level, meshes, screens, sounds, textures  # noqa: E402

CONFIG = """# Display settings read at start-up.
width = "1280";
height = "720";
refresh_rate = "60";
fullscreen = "false";
"""


def write_meshes(models):
    header = ["Velmora mesh made by tools/make_assets.py"]
    for name, build in (("spaceship", meshes.ship), ("ghost", meshes.ghost),
                        ("hand", meshes.hand), ("satellite", meshes.satellite),
                        ("plane", meshes.plane), ("direction", meshes.direction),
                        ("Screen", meshes.screen)):
        build().write(os.path.join(models, name + ".obj"), header)
    level.build_mesh().write(os.path.join(models, "Levels", "level.obj"), header)


def main():
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    data = sys.argv[1] if len(sys.argv) > 1 else os.path.join(root, "data")
    models = os.path.join(data, "Models")
    for folder in (os.path.join(models, "Levels"), os.path.join(data, "Sounds")):
        os.makedirs(folder, exist_ok=True)
    with open(os.path.join(data, "config.cfg"), "w", newline="\n") as fh:
        fh.write(CONFIG)
    write_meshes(models)
    textures.write_all(models)
    screens.write_all(models)
    sounds.write_all(os.path.join(data, "Sounds"))
    print("assets written to", data)


if __name__ == "__main__":
    main()
