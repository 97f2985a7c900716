// The show's data as the page downloads it (/pack, made by web/pack_data.py) becomes the
// files the show reads (/data), byte for byte. Opaque TGA images come as lossless WebP,
// decoded by the browser: the TGA file is rebuilt from the pixels and the kept header,
// with run-length packets where the original had them, exactly as the data generator
// writes them. Other files come zlib-compressed or as they are.
// Module.unpackData() returns a promise; the page runs main only after it.
Module["unpackData"] = async function() {
  const index = JSON.parse(new TextDecoder().decode(FS.readFile("/pack/index.json")));
  FS.mkdir("/data");
  await Promise.all(index.map(async (entry) => {
    const stored = FS.readFile("/pack/" + entry.stored);
    let bytes = stored;
    if (entry.codec === "zlib") bytes = await inflate(stored);
    else if (entry.codec === "webp-tga") bytes = tgaFile(entry, await webpPixels(stored));
    FS.writeFile("/data/" + entry.file, bytes);
    FS.unlink("/pack/" + entry.stored);
  }));
};

async function inflate(bytes) {
  const stream = new Blob([bytes]).stream().pipeThrough(new DecompressionStream("deflate"));
  return new Uint8Array(await new Response(stream).arrayBuffer());
}

// RGBA pixels of a WebP image, rows top to bottom, as stored (no colour conversion).
async function webpPixels(bytes) {
  const bitmap = await createImageBitmap(new Blob([bytes], { type: "image/webp" }),
                                         { premultiplyAlpha: "none", colorSpaceConversion: "none" });
  const canvas = document.createElement("canvas");
  canvas.width = bitmap.width;
  canvas.height = bitmap.height;
  const context = canvas.getContext("2d", { willReadFrequently: true });
  context.drawImage(bitmap, 0, 0);
  bitmap.close();
  return context.getImageData(0, 0, canvas.width, canvas.height).data;
}

// The TGA file for the pixels: header, then the stored rows (B, G, R (, A) per pixel),
// bottom row first unless the header says top down.
function tgaFile(entry, rgba) {
  const bpp = entry.bytesPerPixel;
  const width = rgba.length / 4 / entry.height;
  const out = [Uint8Array.from(entry.header)];
  const row = new Uint8Array(width * bpp);
  for (let i = 0; i < entry.height; i++) {
    const y = entry.topDown ? i : entry.height - 1 - i;
    for (let x = 0; x < width; x++) {
      const from = (y * width + x) * 4;
      row[x * bpp] = rgba[from + 2];
      row[x * bpp + 1] = rgba[from + 1];
      row[x * bpp + 2] = rgba[from];
      if (bpp === 4) row[x * bpp + 3] = rgba[from + 3];
    }
    out.push(entry.runLength ? runLengthPackets(row, bpp) : row.slice());
  }
  const file = new Uint8Array(out.reduce((sum, part) => sum + part.length, 0));
  out.reduce((at, part) => { file.set(part, at); return at + part.length; }, 0);
  return file;
}

// One row's packets: a run of two or more equal pixels is a run packet, other pixels
// gather in raw packets of up to 128.
function runLengthPackets(row, bpp) {
  const n = row.length / bpp;
  const same = (a, b) => {
    for (let k = 0; k < bpp; k++) if (row[a * bpp + k] !== row[b * bpp + k]) return false;
    return true;
  };
  const out = [];
  let i = 0;
  while (i < n) {
    let run = 1;
    while (i + run < n && run < 128 && same(i, i + run)) run++;
    if (run >= 2) {
      out.push(0x80 | (run - 1), ...row.subarray(i * bpp, (i + 1) * bpp));
      i += run;
      continue;
    }
    let raw = 1;
    while (i + raw < n && raw < 128 && !(i + raw + 1 < n && same(i + raw, i + raw + 1))) raw++;
    out.push(raw - 1, ...row.subarray(i * bpp, (i + raw) * bpp));
    i += raw;
  }
  return Uint8Array.from(out);
}
