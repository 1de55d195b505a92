// A program's output on its way from the worker that runs it to the one
// that reads it. The runner copies each piece out of the program's memory
// (which the next piece reuses) into a batch of up to BATCH bytes, and
// sends the batch on once it is full or TIMING.batch ms old. The reader
// parses the pieces and keeps what eachPart gives of them for the download:
// from a batch of BLOB bytes or more, a Blob per stream, which it makes
// itself. (Made in the runner, the Blobs cost the run its time: the runner,
// which also runs the program, is now the slower of the two.)
//
// newBatcher(post) -> batcher; take(batcher, name, index, bytes) per piece;
// flush(batcher) at a run's end. post(batch, transfer) gets
//   {pieces: [[name, index, bytes], ...]}  the pieces, views into one buffer
// and the reader keeps what eachPart(batch, onPart) gives. A reader that
// joins the pieces of several batches keeps the same bytes.
import {TIMING} from './timing.mjs';

const BATCH = 16 << 20; // bytes the runner gathers before sending them on
const BLOB = 1 << 20; // bytes from which a batch is kept as Blobs of its own

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
function blobOf(pieces, name) {
  const parts = [];
  let run = null;
  for (const [stream, , bytes] of pieces) {
    if (stream !== name) continue;
    if (run && run.buffer === bytes.buffer && run.byteOffset + run.length === bytes.byteOffset) {
      run = new Uint8Array(run.buffer, run.byteOffset, run.length + bytes.length);
    } else {
      if (run) parts.push(run);
      run = bytes;
    }
  }
  if (run) parts.push(run);
  return parts.length ? new Blob(parts) : null;
}

export function flush(batcher) {
  const {buffer, pieces, used} = batcher;
  batcher.sent = performance.now();
  if (!pieces.length) return;
  // A batch sent well short of its buffer goes as a copy, and the buffer
  // stays for the next.
  const small = used < buffer.length / 4;
  const bytes = small ? buffer.slice(0, used) : buffer;
  const views = pieces.map(([name, index, from, to]) => [name, index, bytes.subarray(from, to)]);
  batcher.post({pieces: views}, [bytes.buffer]);
  if (!small) batcher.buffer = null;
  batcher.used = 0;
  batcher.pieces = [];
}

// What the page keeps of a batch, as (name, Blob or bytes), in order.
// Below BLOB bytes, the bytes themselves: the reader joins those of such
// batches into one Blob.
export function eachPart({pieces}, onPart) {
  if (pieces.reduce((n, p) => n + p[2].length, 0) < BLOB) {
    for (const [name, , bytes] of pieces) onPart(name, bytes);
    return;
  }
  for (const name of ['stdout', 'stderr']) {
    const blob = blobOf(pieces, name);
    if (blob) onPart(name, blob);
  }
}
