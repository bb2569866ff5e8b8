"""Writing and reading the Windows bitmap and icon files the resource
compiler embeds. Pixels travel as numpy arrays of shape (h, w, 3) RGB or
(h, w, 4) RGBA, uint8, top row first."""
import struct

import numpy as np


def _row_stride(width, bpp):
    return ((width * bpp + 31) // 32) * 4


def write_bmp(path, pixels, bpp=24):
    """Stores an uncompressed bottom-up BMP (24 or 32 bits per pixel)."""
    h, w = pixels.shape[:2]
    if bpp == 24:
        bgr = pixels[:, :, [2, 1, 0]]
    elif bpp == 32:
        if pixels.shape[2] == 3:
            alpha = np.full((h, w, 1), 255, np.uint8)
            pixels = np.concatenate([pixels, alpha], axis=2)
        bgr = pixels[:, :, [2, 1, 0, 3]]
    else:
        raise ValueError("only 24 and 32 bits per pixel are written")
    stride = _row_stride(w, bpp)
    rows = bytearray()
    pad = b"\0" * (stride - w * bpp // 8)
    for y in range(h - 1, -1, -1):
        rows += bgr[y].astype(np.uint8).tobytes() + pad
    header = struct.pack("<IiiHHIIiiII", 40, w, h, 1, bpp, 0, len(rows),
                         2835, 2835, 0, 0)
    file_header = struct.pack("<2sIHHI", b"BM", 14 + len(header) + len(rows),
                              0, 0, 14 + len(header))
    with open(path, "wb") as f:
        f.write(file_header + header + bytes(rows))


def read_bmp(path):
    """Reads back what write_bmp stores: returns (RGB array, bits per pixel)."""
    with open(path, "rb") as f:
        data = f.read()
    offset = struct.unpack_from("<I", data, 10)[0]
    _, w, h, _, bpp = struct.unpack_from("<IiiHH", data, 14)
    stride = _row_stride(w, bpp)
    step = bpp // 8
    out = np.zeros((abs(h), w, 3), np.uint8)
    for row in range(abs(h)):
        y = abs(h) - 1 - row if h > 0 else row
        line = np.frombuffer(data, np.uint8, w * step, offset + row * stride)
        line = line.reshape(w, step)
        out[y] = line[:, [2, 1, 0]]
    return out, bpp


def write_ico(path, images):
    """Stores 32-bit RGBA images (each square) as one .ico file, smallest
    first; every image carries its AND mask so that systems without alpha
    support still cut the transparent corners."""
    entries = []
    blobs = []
    for img in images:
        h, w = img.shape[:2]
        bgra = img[:, :, [2, 1, 0, 3]]
        xor = b"".join(bgra[y].tobytes() for y in range(h - 1, -1, -1))
        mask_stride = _row_stride(w, 1)
        mask = bytearray()
        for y in range(h - 1, -1, -1):
            row = bytearray(mask_stride)
            for x in range(w):
                if img[y, x, 3] < 128:
                    row[x // 8] |= 0x80 >> (x % 8)
            mask += row
        header = struct.pack("<IiiHHIIiiII", 40, w, h * 2, 1, 32, 0,
                             len(xor) + len(mask), 0, 0, 0, 0)
        blobs.append(header + xor + bytes(mask))
        entries.append((w, h))
    offset = 6 + 16 * len(images)
    out = bytearray(struct.pack("<HHH", 0, 1, len(images)))
    for (w, h), blob in zip(entries, blobs):
        out += struct.pack("<BBBBHHII", w % 256, h % 256, 0, 0, 1, 32,
                           len(blob), offset)
        offset += len(blob)
    for blob in blobs:
        out += blob
    with open(path, "wb") as f:
        f.write(bytes(out))
