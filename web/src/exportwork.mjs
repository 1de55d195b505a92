// The export worker: makes a run's table and run record from its output,
// away from the page's thread (exports.mjs says what they hold). It reads
// the output's Blobs piece by piece, so that a long output is never held
// whole as text, apart from a GA's statistics, which gastats.mjs reads
// whole. Messages (messages.mjs): EXPORT in, EXPORTED out.
import {MSG, errorText} from './messages.mjs';
import {tableOf, recordFields} from './exports.mjs';
import {digestBlobs} from './sha256.mjs';
import {crateJson} from './record.mjs';

const PART = 1 << 20; // characters of table text gathered into one Blob part

async function eachPiece(blobs, take) {
  for (const blob of blobs) {
    const reader = blob.stream().getReader();
    for (let r = await reader.read(); !r.done; r = await reader.read()) take(r.value);
  }
}

async function table(about, chunks) {
  const how = tableOf(about);
  const blobs = chunks[how.stream];
  if (how.whole) return new Blob([how.whole(await new Blob(blobs).text())], {type: 'text/tab-separated-values'});
  if (how.raw) return new Blob([how.header + '\n', ...blobs], {type: 'text/tab-separated-values'});
  const parts = [how.header + '\n'];
  const decoder = new TextDecoder();
  let text = '', rest = '';
  const lines = (piece) => {
    const all = rest + piece;
    const end = all.lastIndexOf('\n');
    rest = all.slice(end + 1);
    if (end < 0) return;
    for (const line of all.slice(0, end).split('\n')) {
      const row = how.row(line);
      if (row !== null) text += row + '\n';
    }
    if (text.length >= PART) {
      parts.push(text);
      text = '';
    }
  };
  await eachPiece(blobs, (bytes) => lines(decoder.decode(bytes, {stream: true})));
  lines(decoder.decode() + '\n'); // a last line without its newline
  parts.push(text);
  return new Blob(parts, {type: 'text/tab-separated-values'});
}

async function record(about, chunks, meta) {
  const streams = {};
  for (const name of ['stdout', 'stderr']) streams[name] = {name: meta.names[name], ...await digestBlobs(chunks[name])};
  return new Blob([crateJson(recordFields(about, {...meta, streams}))], {type: 'application/json'});
}

onmessage = async ({data: {type, id, kind, about, chunks, meta}}) => {
  if (type !== MSG.EXPORT) return;
  try {
    const blob = kind === 'tsv' ? await table(about, chunks) : await record(about, chunks, meta);
    postMessage({type: MSG.EXPORTED, id, blob});
  } catch (e) {
    postMessage({type: MSG.EXPORTED, id, error: errorText(e)});
  }
};
