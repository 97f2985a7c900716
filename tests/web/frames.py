"""PNG reading (8-bit RGB or RGBA, not interlaced) and the frame comparison, standard library only."""
import struct
import zlib


def read_png(data):
    """Returns (width, height, rows): rows top to bottom, each a bytes of R, G, B per pixel."""
    if data[:8] != b"\x89PNG\r\n\x1a\n":
        raise ValueError("not a PNG file")
    pos, idat, header = 8, [], None
    while pos < len(data):
        length, kind = struct.unpack(">I4s", data[pos:pos + 8])
        body = data[pos + 8:pos + 8 + length]
        pos += 12 + length
        if kind == b"IHDR":
            header = struct.unpack(">IIBBBBB", body)
        elif kind == b"IDAT":
            idat.append(body)
    width, height, depth, colour, _, _, interlace = header
    if depth != 8 or colour not in (2, 6) or interlace:
        raise ValueError("unsupported PNG layout %r" % (header,))
    channels = 3 if colour == 2 else 4
    raw = zlib.decompress(b"".join(idat))
    stride = width * channels
    rows, previous = [], bytearray(stride)
    for y in range(height):
        kind = raw[y * (stride + 1)]
        row = bytearray(raw[y * (stride + 1) + 1:(y + 1) * (stride + 1)])
        for i in range(stride):
            left = row[i - channels] if i >= channels else 0
            up = previous[i]
            if kind == 1:
                row[i] = (row[i] + left) & 255
            elif kind == 2:
                row[i] = (row[i] + up) & 255
            elif kind == 3:
                row[i] = (row[i] + (left + up) // 2) & 255
            elif kind == 4:
                corner = previous[i - channels] if i >= channels else 0
                p = left + up - corner
                pa, pb, pc = abs(p - left), abs(p - up), abs(p - corner)
                row[i] = (row[i] + (left if pa <= pb and pa <= pc else up if pb <= pc else corner)) & 255
        previous = row
        rows.append(bytes(row) if channels == 3 else bytes(b for i, b in enumerate(row) if i % 4 != 3))
    return width, height, rows


def difference(a, b):
    """Mean absolute difference per channel (0..255) and the share of pixels (0..1) with a
    channel off by more than 16, between two images of the same size."""
    wa, ha, rows_a = a
    wb, hb, rows_b = b
    if (wa, ha) != (wb, hb):
        raise ValueError("sizes differ: %dx%d and %dx%d" % (wa, ha, wb, hb))
    total, far = 0, 0
    for ra, rb in zip(rows_a, rows_b):
        for x in range(0, len(ra), 3):
            d = (abs(ra[x] - rb[x]), abs(ra[x + 1] - rb[x + 1]), abs(ra[x + 2] - rb[x + 2]))
            total += d[0] + d[1] + d[2]
            far += max(d) > 16
    pixels = wa * ha
    return total / (3 * pixels), far / pixels
