// SHA-256 (FIPS 180-4) of bytes that come in pieces, so that a long output
// is hashed without holding it whole. The browser's own digest takes the
// whole input at once and exists only in secure contexts.

const K = new Uint32Array([
  0x428a2f98, 0x71374491, 0xb5c0fbcf, 0xe9b5dba5, 0x3956c25b, 0x59f111f1, 0x923f82a4, 0xab1c5ed5,
  0xd807aa98, 0x12835b01, 0x243185be, 0x550c7dc3, 0x72be5d74, 0x80deb1fe, 0x9bdc06a7, 0xc19bf174,
  0xe49b69c1, 0xefbe4786, 0x0fc19dc6, 0x240ca1cc, 0x2de92c6f, 0x4a7484aa, 0x5cb0a9dc, 0x76f988da,
  0x983e5152, 0xa831c66d, 0xb00327c8, 0xbf597fc7, 0xc6e00bf3, 0xd5a79147, 0x06ca6351, 0x14292967,
  0x27b70a85, 0x2e1b2138, 0x4d2c6dfc, 0x53380d13, 0x650a7354, 0x766a0abb, 0x81c2c92e, 0x92722c85,
  0xa2bfe8a1, 0xa81a664b, 0xc24b8b70, 0xc76c51a3, 0xd192e819, 0xd6990624, 0xf40e3585, 0x106aa070,
  0x19a4c116, 0x1e376c08, 0x2748774c, 0x34b0bcb5, 0x391c0cb3, 0x4ed8aa4a, 0x5b9cca4f, 0x682e6ff3,
  0x748f82ee, 0x78a5636f, 0x84c87814, 0x8cc70208, 0x90befffa, 0xa4506ceb, 0xbef9a3f7, 0xc67178f2,
]);

const rotr = (x, n) => (x >>> n) | (x << (32 - n));

export function newSha256() {
  return {
    h: new Uint32Array([0x6a09e667, 0xbb67ae85, 0x3c6ef372, 0xa54ff53a, 0x510e527f, 0x9b05688c, 0x1f83d9ab, 0x5be0cd19]),
    w: new Uint32Array(64),
    block: new Uint8Array(64), // the bytes of a block not yet full
    filled: 0,
    length: 0, // bytes taken in all
  };
}

// One 64-byte block at `at` of `bytes` into the state.
function compress(s, bytes, at) {
  const {w, h} = s;
  for (let i = 0; i < 16; i++, at += 4) {
    w[i] = (bytes[at] << 24) | (bytes[at + 1] << 16) | (bytes[at + 2] << 8) | bytes[at + 3];
  }
  for (let i = 16; i < 64; i++) {
    const a = w[i - 15], b = w[i - 2];
    const s0 = rotr(a, 7) ^ rotr(a, 18) ^ (a >>> 3), s1 = rotr(b, 17) ^ rotr(b, 19) ^ (b >>> 10);
    w[i] = (w[i - 16] + s0 + w[i - 7] + s1) | 0;
  }
  let a = h[0], b = h[1], c = h[2], d = h[3], e = h[4], f = h[5], g = h[6], k = h[7];
  for (let i = 0; i < 64; i++) {
    const t1 = (k + (rotr(e, 6) ^ rotr(e, 11) ^ rotr(e, 25)) + ((e & f) ^ (~e & g)) + K[i] + w[i]) | 0;
    const t2 = ((rotr(a, 2) ^ rotr(a, 13) ^ rotr(a, 22)) + ((a & b) ^ (a & c) ^ (b & c))) | 0;
    k = g; g = f; f = e; e = (d + t1) | 0; d = c; c = b; b = a; a = (t1 + t2) | 0;
  }
  h[0] += a; h[1] += b; h[2] += c; h[3] += d; h[4] += e; h[5] += f; h[6] += g; h[7] += k;
}

export function addBytes(s, bytes) {
  let at = 0;
  s.length += bytes.length;
  if (s.filled) {
    const take = Math.min(64 - s.filled, bytes.length);
    s.block.set(bytes.subarray(0, take), s.filled);
    s.filled += take;
    at = take;
    if (s.filled < 64) return;
    compress(s, s.block, 0);
    s.filled = 0;
  }
  for (; at + 64 <= bytes.length; at += 64) compress(s, bytes, at);
  s.block.set(bytes.subarray(at), 0);
  s.filled = bytes.length - at;
}

// The digest as 64 hexadecimal digits; the state is spent.
export function hexDigest(s) {
  const bits = s.length * 8;
  const tail = new Uint8Array((s.filled < 56 ? 64 : 128) - s.filled);
  tail[0] = 0x80;
  const view = new DataView(tail.buffer);
  view.setUint32(tail.length - 8, Math.floor(bits / 2 ** 32));
  view.setUint32(tail.length - 4, bits >>> 0);
  addBytes(s, tail);
  return [...s.h].map((x) => x.toString(16).padStart(8, '0')).join('');
}

// {size, sha256} of the bytes of `blobs`, one after another, read piece by
// piece, so that a long output is never held whole.
export async function digestBlobs(blobs) {
  const s = newSha256();
  for (const blob of blobs) {
    const reader = blob.stream().getReader();
    for (let got = await reader.read(); !got.done; got = await reader.read()) addBytes(s, got.value);
  }
  const size = s.length; // before the digest pads the input
  return {size, sha256: hexDigest(s)};
}
