// SHA-256 of a stream that comes in pieces, as sha256sum prints it: the
// reader worker checksums every run's output as it passes, without keeping
// it. Pure.
//
// const h = newSha256(); addBytes(h, bytes) ...; sha256Hex(h) -> 64 hex digits

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

export function newSha256() {
  return {
    h: new Uint32Array([0x6a09e667, 0xbb67ae85, 0x3c6ef372, 0xa54ff53a,
                        0x510e527f, 0x9b05688c, 0x1f83d9ab, 0x5be0cd19]),
    block: new Uint8Array(64), filled: 0, length: 0, w: new Uint32Array(64),
  };
}

const rotr = (x, n) => (x >>> n) | (x << (32 - n));

// One 64-byte block, b[at, at + 64), into the state.
function compress(s, b, at) {
  const {h, w} = s;
  for (let i = 0; i < 16; i++) {
    const j = at + 4 * i;
    w[i] = (b[j] << 24) | (b[j + 1] << 16) | (b[j + 2] << 8) | b[j + 3];
  }
  for (let i = 16; i < 64; i++) {
    const a = w[i - 15], c = w[i - 2];
    w[i] = w[i - 16] + (rotr(a, 7) ^ rotr(a, 18) ^ (a >>> 3)) + w[i - 7] +
      (rotr(c, 17) ^ rotr(c, 19) ^ (c >>> 10));
  }
  let [a0, a1, a2, a3, a4, a5, a6, a7] = h;
  for (let i = 0; i < 64; i++) {
    const t1 = (a7 + (rotr(a4, 6) ^ rotr(a4, 11) ^ rotr(a4, 25)) + ((a4 & a5) ^ (~a4 & a6)) + K[i] + w[i]) | 0;
    const t2 = ((rotr(a0, 2) ^ rotr(a0, 13) ^ rotr(a0, 22)) + ((a0 & a1) ^ (a0 & a2) ^ (a1 & a2))) | 0;
    a7 = a6; a6 = a5; a5 = a4; a4 = (a3 + t1) | 0;
    a3 = a2; a2 = a1; a1 = a0; a0 = (t1 + t2) | 0;
  }
  h[0] += a0; h[1] += a1; h[2] += a2; h[3] += a3;
  h[4] += a4; h[5] += a5; h[6] += a6; h[7] += a7;
}

export function addBytes(s, bytes) {
  s.length += bytes.length;
  let i = 0;
  if (s.filled) {
    const take = Math.min(64 - s.filled, bytes.length);
    s.block.set(bytes.subarray(0, take), s.filled);
    s.filled += take;
    i = take;
    if (s.filled < 64) return s;
    compress(s, s.block, 0);
    s.filled = 0;
  }
  for (; i + 64 <= bytes.length; i += 64) compress(s, bytes, i);
  s.block.set(bytes.subarray(i), 0);
  s.filled = bytes.length - i;
  return s;
}

// The digest of everything added; the state is spent.
export function sha256Hex(s) {
  const bits = s.length * 8;
  const tail = new Uint8Array((s.filled < 56 ? 64 : 128) - s.filled);
  tail[0] = 0x80;
  for (let k = 0; k < 8; k++) tail[tail.length - 1 - k] = Math.floor(bits / 2 ** (8 * k)) % 256;
  addBytes(s, tail);
  return [...s.h].map((v) => v.toString(16).padStart(8, '0')).join('');
}
