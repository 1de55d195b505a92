// A program's output on its way from the worker that runs it to the one
// that reads it. The runner copies each piece out of the program's memory
// (which the next piece reuses) into a batch of up to BATCH bytes, and
// sends the batch on once it is full or TIMING.batch ms old. With a batch of
// BLOB bytes or more it also sends each stream's bytes as a Blob, which is
// what the page keeps for the download: made here, the copy into the Blob
// is the runner's work, and the reader, the slower of the two, has only the
// parsing to do.
//
// newBatcher(post) -> batcher; take(batcher, name, index, bytes) per piece;
// flush(batcher) at a run's end. post(batch, transfer) gets
//   {pieces: [[name, index, bytes], ...],  the pieces, views into one buffer
//    blobs: {stdout, stderr} or null}      a Blob, or null for a stream
//                                          without bytes
// and the reader keeps what eachPart(batch, onPart) gives. A reader that
// joins the pieces of several batches (and drops their Blobs) keeps the
// pieces' bytes instead: the same bytes.
import {TIMING} from './timing.mjs';

const BATCH = 16 << 20; // bytes the runner gathers before sending them on
const BLOB = 1 << 20; // bytes from which a batch brings its own Blobs

// A batch holds `size` bytes, from BLOB up to BATCH, doubling each time one
// fills: a short run's batch takes no more memory than it needs.
export function newBatcher(post) {
  return {post, buffer: null, size: BLOB, used: 0, pieces: [], sent: performance.now()};
}

export function take(batcher, name, index, bytes) {
  if (batcher.used && batcher.used + bytes.length > batcher.size) full(batcher);
  const room = Math.max(batcher.size, bytes.length);
  if (!batcher.used && !(batcher.buffer?.length >= room)) batcher.buffer = new Uint8Array(room);
  batcher.buffer.set(bytes, batcher.used);
  batcher.pieces.push([name, index, batcher.used, batcher.used + bytes.length]);
  batcher.used += bytes.length;
  if (batcher.used >= batcher.size) full(batcher);
  else if (performance.now() - batcher.sent >= TIMING.batch) flush(batcher);
}

function full(batcher) {
  batcher.size = Math.min(2 * batcher.size, BATCH);
  flush(batcher);
}

// A Blob costs the browser more per part and per Blob than per byte: a
// stream's pieces, which mostly follow each other in the batch, make one
// part, and a batch one Blob per stream.
function blobOf(bytes, pieces, name) {
  const parts = [];
  let from = -1, to = -1;
  for (const p of pieces) {
    if (p[0] !== name) continue;
    if (p[2] !== to) {
      if (to > from) parts.push(bytes.subarray(from, to));
      from = p[2];
    }
    to = p[3];
  }
  if (to > from) parts.push(bytes.subarray(from, to));
  return parts.length ? new Blob(parts) : null;
}

export function flush(batcher) {
  const {buffer, pieces, used} = batcher;
  batcher.sent = performance.now();
  if (!pieces.length) return;
  // A batch sent well short of its buffer goes as a copy, and the buffer
  // stays for the next. Below BLOB bytes it makes no Blobs of its own: the
  // reader joins such batches' bytes into one.
  const small = used < buffer.length / 4;
  const bytes = small ? buffer.slice(0, used) : buffer;
  const blobs = used < BLOB ? null
    : {stdout: blobOf(bytes, pieces, 'stdout'), stderr: blobOf(bytes, pieces, 'stderr')};
  const views = pieces.map(([name, index, from, to]) => [name, index, bytes.subarray(from, to)]);
  batcher.post({pieces: views, blobs}, [bytes.buffer]);
  if (!small) batcher.buffer = null;
  batcher.used = 0;
  batcher.pieces = [];
}

// What the page keeps of a batch, as (name, Blob or bytes), in order.
export function eachPart({pieces, blobs}, onPart) {
  if (!blobs) for (const [name, , bytes] of pieces) onPart(name, bytes);
  else for (const name of ['stdout', 'stderr']) if (blobs[name]) onPart(name, blobs[name]);
}
