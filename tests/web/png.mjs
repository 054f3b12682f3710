// Reads the colour of a pixel from a PNG screenshot: 8-bit RGB or RGBA, not interlaced, which is what
// Chromium writes.
import { inflateSync } from 'node:zlib';

function paeth(a, b, c) {
    const p = a + b - c;
    const pa = Math.abs(p - a);
    const pb = Math.abs(p - b);
    const pc = Math.abs(p - c);
    return pa <= pb && pa <= pc ? a : pb <= pc ? b : c;
}

export function decodePng(buffer) {
    let offset = 8;
    let width = 0;
    let height = 0;
    let channels = 0;
    const data = [];
    while (offset < buffer.length) {
        const length = buffer.readUInt32BE(offset);
        const type = buffer.toString('latin1', offset + 4, offset + 8);
        const body = buffer.subarray(offset + 8, offset + 8 + length);
        if (type === 'IHDR') {
            width = body.readUInt32BE(0);
            height = body.readUInt32BE(4);
            const [depth, colourType, , , interlace] = body.subarray(8, 13);
            channels = { 2: 3, 6: 4 }[colourType];
            if (depth !== 8 || !channels || interlace) throw new Error('unsupported PNG layout');
        } else if (type === 'IDAT') {
            data.push(body);
        }
        offset += 12 + length;
    }
    const raw = inflateSync(Buffer.concat(data));
    const stride = width * channels;
    const pixels = Buffer.alloc(stride * height);
    for (let y = 0; y < height; y++) {
        const filter = raw[y * (stride + 1)];
        for (let x = 0; x < stride; x++) {
            const value = raw[y * (stride + 1) + 1 + x];
            const left = x >= channels ? pixels[y * stride + x - channels] : 0;
            const up = y > 0 ? pixels[(y - 1) * stride + x] : 0;
            const upLeft = x >= channels && y > 0 ? pixels[(y - 1) * stride + x - channels] : 0;
            const predictor = [0, left, up, (left + up) >> 1, paeth(left, up, upLeft)][filter];
            pixels[y * stride + x] = (value + predictor) & 0xff;
        }
    }
    return { width, height, channels, pixels };
}

// Returns [red, green, blue] of the pixel at x, y.
export function pixelAt(image, x, y) {
    const start = (y * image.width + x) * image.channels;
    return [...image.pixels.subarray(start, start + 3)];
}
