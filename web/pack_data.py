#!/usr/bin/env python3
"""Packs the show's data/ for the web page, byte for byte recoverable in the browser.

Usage: pack_data.py DATA_DIR PACK_DIR

Opaque TGA images (the pictures: most of the download) are stored as lossless WebP, which
the browser decodes itself; the page's unpacker (src/platform/web/data_unpack.js) rebuilds
the TGA file from the pixels and the kept header, run-length packets included, the same
way the data generator writes them. Every rebuilt file is checked here against the
original (decoded again with dwebp); a file that does not come back exactly, and every
other file, is stored zlib-compressed when that is smaller, else as it is. PACK_DIR gets
the stored files and index.json, which lists them in data/ order.
"""
import json
import os
import struct
import subprocess
import sys
import tempfile
import zlib


def decode_tga(data):
    """(header, width, height, bytes per pixel, top_down, rle, rows of RGBA top down) or None
    for layouts other than the generator's (true colour, 24 or 32 bits, no colour map)."""
    id_length, colour_map, kind = data[0], data[1], data[2]
    width, height = struct.unpack("<HH", data[12:16])
    depth, descriptor = data[16], data[17]
    if colour_map or kind not in (2, 10) or depth not in (24, 32) or descriptor & 0x10:
        return None
    bpp, start = depth // 8, 18 + id_length
    pixels, pos, count = bytearray(), start, width * height
    if kind == 2:
        pixels = data[pos:pos + count * bpp]
    else:
        while len(pixels) < count * bpp and pos < len(data):
            packet = data[pos]
            pos += 1
            n = (packet & 0x7F) + 1
            if packet & 0x80:
                pixels += data[pos:pos + bpp] * n
                pos += bpp
            else:
                pixels += data[pos:pos + n * bpp]
                pos += n * bpp
    if len(pixels) < count * bpp:
        return None
    top_down = bool(descriptor & 0x20)
    rows = []
    for y in range(height):
        stored = y if top_down else height - 1 - y
        row = pixels[stored * width * bpp:(stored + 1) * width * bpp]
        rgba = bytearray(b"\xff" * (width * 4))
        rgba[0::4], rgba[1::4], rgba[2::4] = row[2::bpp], row[1::bpp], row[0::bpp]
        if bpp == 4:
            rgba[3::4] = row[3::4]
        rows.append(bytes(rgba))
    return data[:start], width, height, bpp, top_down, kind == 10, rows


def rle_row(row, bpp):
    """Run-length packets of one stored row, as the data generator writes them: a run of
    two or more equal pixels is a run packet, other pixels gather in raw packets (<= 128)."""
    n = len(row) // bpp
    pixel = lambda i: row[i * bpp:(i + 1) * bpp]
    out, i = bytearray(), 0
    while i < n:
        run = 1
        while i + run < n and run < 128 and pixel(i) == pixel(i + run):
            run += 1
        if run >= 2:
            out += bytes((0x80 | (run - 1),)) + pixel(i)
            i += run
            continue
        raw = 1
        while i + raw < n and raw < 128 and not (i + raw + 1 < n and pixel(i + raw) == pixel(i + raw + 1)):
            raw += 1
        out += bytes((raw - 1,)) + row[i * bpp:(i + raw) * bpp]
        i += raw
    return out


def encode_tga(header, height, bpp, top_down, rle, rows):
    """The TGA file for RGBA rows (top down): what the unpacker builds."""
    out = bytearray(header)
    for i in range(height):
        rgba = rows[i if top_down else height - 1 - i]
        stored = bytearray(len(rgba) // 4 * bpp)
        stored[0::bpp], stored[1::bpp], stored[2::bpp] = rgba[2::4], rgba[1::4], rgba[0::4]
        if bpp == 4:
            stored[3::4] = rgba[3::4]
        out += rle_row(stored, bpp) if rle else stored
    return bytes(out)


def png_file(width, height, rows):
    """An RGB PNG of the rows (no filtering; cwebp only reads it)."""
    def chunk(kind, body):
        return struct.pack(">I", len(body)) + kind + body + struct.pack(">I", zlib.crc32(kind + body))
    def rgb(row):
        out = bytearray(len(row) // 4 * 3)
        out[0::3], out[1::3], out[2::3] = row[0::4], row[1::4], row[2::4]
        return b"\0" + out
    raw = b"".join(rgb(row) for row in rows)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0)) +
            chunk(b"IDAT", zlib.compress(raw, 6)) + chunk(b"IEND", b""))


def read_pam(data):
    """RGBA rows of a PAM file as dwebp writes it."""
    end = data.index(b"ENDHDR\n") + len(b"ENDHDR\n")
    fields = dict(line.split(b" ", 1) for line in data[:end].split(b"\n")[1:-2])
    width, height, depth = int(fields[b"WIDTH"]), int(fields[b"HEIGHT"]), int(fields[b"DEPTH"])
    if depth != 4:
        raise ValueError("dwebp wrote %d channels" % depth)
    return [data[end + y * width * 4:end + (y + 1) * width * 4] for y in range(height)]


def as_webp(name, data, scratch):
    """The lossless WebP of an opaque generator TGA and its index entry, or None."""
    image = decode_tga(data)
    if image is None:
        return None
    header, width, height, bpp, top_down, rle, rows = image
    if any(row[3::4].count(255) != width for row in rows):
        return None  # see-through pixels: a canvas would not give them back exactly
    png, webp, pam = (os.path.join(scratch, name + ext) for ext in (".png", ".webp", ".pam"))
    with open(png, "wb") as f:
        f.write(png_file(width, height, rows))
    subprocess.run(["cwebp", "-quiet", "-lossless", "-exact", "-z", "6", png, "-o", webp], check=True)
    subprocess.run(["dwebp", "-quiet", "-pam", webp, "-o", pam], check=True)
    with open(pam, "rb") as f:
        back = read_pam(f.read())
    if encode_tga(header, height, bpp, top_down, rle, back) != data:
        return None
    with open(webp, "rb") as f:
        stored = f.read()
    entry = {"codec": "webp-tga", "header": list(header), "height": height,
             "bytesPerPixel": bpp, "topDown": top_down, "runLength": rle}
    return stored, entry


def main():
    data_dir, pack_dir = sys.argv[1:3]
    os.makedirs(pack_dir, exist_ok=True)
    index = []
    with tempfile.TemporaryDirectory() as scratch:
        for name in sorted(os.listdir(data_dir)):
            with open(os.path.join(data_dir, name), "rb") as f:
                data = f.read()
            # zlib only where it saves a tenth: the soundtrack gains nothing worth inflating.
            packed = zlib.compress(data, 9)
            candidates = [(data, {"codec": "none"})]
            if len(packed) < 0.9 * len(data):
                candidates.append((packed, {"codec": "zlib"}))
            if name.endswith(".tga"):
                candidates.append(as_webp(name, data, scratch))
            stored, entry = min((c for c in candidates if c), key=lambda c: len(c[0]))
            entry.update({"file": name, "stored": name + {"none": "", "zlib": ".z", "webp-tga": ".webp"}[entry["codec"]]})
            with open(os.path.join(pack_dir, entry["stored"]), "wb") as f:
                f.write(stored)
            index.append(entry)
            print("%-16s %9d -> %9d  %s" % (name, len(data), len(stored), entry["codec"]))
    with open(os.path.join(pack_dir, "index.json"), "w") as f:
        json.dump(index, f)


if __name__ == "__main__":
    main()
