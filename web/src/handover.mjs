// A program's output on its way from the worker that runs it to the one
// that reads it. The runner copies each piece out of the program's memory
// (which the next piece reuses) into a batch of up to BATCH bytes, and
// sends the batch on once it is full or BATCH_TIME ms old. With each batch
// it also sends each stream's bytes as a Blob, which is what the page keeps
// for the download: made here, the copy that a Blob costs is not made by the
// reader, which has the parsing to do, while the runner waits anyway for
// the program's next piece.
//
// newBatcher(post) -> batcher; take(batcher, name, index, bytes) per piece;
// flush(batcher) at a run's end. post(message, transfer) gets
//   {type: 'bytes', buffer, pieces: [[name, index, from, to], ...],
//    blobs: {stdout, stderr}}  (a Blob, or null for a stream without bytes)
// and the reader goes through them with eachPiece(message, onPiece).
const BATCH = 1 << 20; // bytes the runner gathers before sending them on
const BATCH_TIME = 20; // or milliseconds

export function newBatcher(post) {
  return {post, buffer: null, used: 0, pieces: [], sent: performance.now()};
}

export function take(batcher, name, index, bytes) {
  if (batcher.used + bytes.length > BATCH && batcher.used) flush(batcher);
  if (!batcher.buffer) batcher.buffer = new Uint8Array(Math.max(BATCH, bytes.length));
  batcher.buffer.set(bytes, batcher.used);
  batcher.pieces.push([name, index, batcher.used, batcher.used + bytes.length]);
  batcher.used += bytes.length;
  if (batcher.used >= BATCH || performance.now() - batcher.sent >= BATCH_TIME) flush(batcher);
}

export function flush(batcher) {
  const {buffer, pieces} = batcher;
  batcher.sent = performance.now();
  if (!pieces.length) return;
  const blobs = {};
  for (const name of ['stdout', 'stderr']) {
    const parts = pieces.filter((p) => p[0] === name).map(([, , from, to]) => buffer.subarray(from, to));
    blobs[name] = parts.length ? new Blob(parts) : null;
  }
  batcher.post({type: 'bytes', buffer: buffer.buffer, pieces, blobs}, [buffer.buffer]);
  batcher.buffer = null;
  batcher.used = 0;
  batcher.pieces = [];
}

// Each piece of a batch as (name, index, bytes).
export function eachPiece({buffer, pieces}, onPiece) {
  for (const [name, index, from, to] of pieces) onPiece(name, index, new Uint8Array(buffer, from, to - from));
}
