// The line scanner compiled to WebAssembly (web/reader/linescan.c), for the
// reader worker: lines of plain decimals read, and lines passed over, many
// times faster than in JavaScript. Until loadScanner() has made it (and
// wherever it cannot be made, as in the parser's tests under Node without
// a build), scanner() is null and the callers read in JavaScript.
//
// The bytes to read are copied into the scanner's window once: a piece that
// several views read, one after the other, as the same Uint8Array, stays
// there for the next, until unstage() says that the piece is done with (a
// Uint8Array handed over again must hold the same bytes until then).
import {wasmBytes} from './wasmbytes.mjs';

let instance = null;

export const scanner = () => instance;

// Sets the scanner (null: read in JavaScript), for a comparison of the two.
export function useScanner(s) {
  instance = s;
}

// Makes the scanner once and gives it; a failure gives null and leaves the
// reading to JavaScript.
let loading = null;
export function loadScanner(url = new URL('linescan.wasm', import.meta.url)) {
  loading ??= wasmBytes(url).then((bytes) => WebAssembly.instantiate(bytes)).then(({instance: i}) => {
    instance = made(i.exports);
    return instance;
  }, () => null);
  return loading;
}

function made(x) {
  const memory = x.memory.buffer;
  return {
    x, window: new Uint8Array(memory, x.window_address(), x.window_size()),
    values: new Float64Array(memory, x.values_address(), x.values_size()),
    widths: new Int32Array(memory, x.widths_address(), x.values_size()),
    staged: null, from: 0, to: 0, // window[0, to - from) holds staged[from, to)
    passed: 0,
  };
}

export function unstage() {
  if (instance) instance.staged = null;
}

// Where bytes[at] lies in the window, staging them from `at` on if they are
// not there: [offset, bytes staged from at].
function stage(s, bytes, at) {
  if (s.staged !== bytes || at < s.from || at >= s.to) {
    s.staged = bytes;
    s.from = at;
    s.to = Math.min(bytes.length, at + s.window.length);
    s.window.set(bytes.subarray(s.from, s.to));
  }
  return [at - s.from, s.to - at];
}

// Reads the lines of plain decimals that begin at bytes[at], as far as they
// go and fit: the position after the last newline read. s.widths then
// holds the count of numbers of each line read, s.values the numbers;
// lines(s) and numbers(s) give how many.
export function readNumbers(s, bytes, at) {
  const [offset, length] = stage(s, bytes, at);
  return at + s.x.read_numbers(offset, length);
}

export const lines = (s) => s.x.lines_found();
export const numbers = (s) => s.x.numbers_found();

// Passes over up to `count` lines from bytes[at]: the position after the
// last newline passed (bytes.length if they end first), with s.passed
// lines passed.
export function passLines(s, bytes, at, count) {
  let i = at, left = count;
  while (left > 0 && i < bytes.length) {
    const [offset, length] = stage(s, bytes, i);
    i += s.x.pass_lines(offset, length, left);
    left -= s.x.lines_found();
  }
  s.passed = count - left;
  return i;
}
