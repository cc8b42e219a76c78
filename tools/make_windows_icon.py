#!/usr/bin/env python3
"""Makes resources/icons/dustral.ico, the Windows program's icon, from the
PNG icons in resources/icons/hicolor: one image per size, each stored as
PNG, as Windows reads icons since Vista. Run it again after the PNGs change.
Usage: tools/make_windows_icon.py [source root]"""
import pathlib
import struct
import sys

SIZES = (16, 24, 32, 48, 64, 256)

root = pathlib.Path(sys.argv[1] if len(sys.argv) > 1 else pathlib.Path(__file__).parent.parent)
icons = root / "resources" / "icons"
images = [(icons / "hicolor" / f"{s}x{s}" / "apps" / "dustral.png").read_bytes() for s in SIZES]

header = struct.pack("<HHH", 0, 1, len(images))  # reserved, type 1 = icon, count
offset = len(header) + 16 * len(images)
directory = b""
for size, image in zip(SIZES, images):
    side = 0 if size == 256 else size  # 0 stands for 256
    directory += struct.pack("<BBBBHHII", side, side, 0, 0, 1, 32, len(image), offset)
    offset += len(image)
(icons / "dustral.ico").write_bytes(header + directory + b"".join(images))
