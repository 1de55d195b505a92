// Turns a program's text output into rows of named values, as it comes. Two
// shapes exist: blocks opened by "---" holding "name = value" lines (one row
// per block), and lines of numbers, optionally after a label such as
// "(t,x[t],y[t]...)=" that names them. Values that are not numbers are kept
// as text; numbers that are not finite become null (a gap in a plot).
//
// const reader = newReader((names, values) => ...); readBytes(reader, bytes)
// or readText(reader, text); ... finishReader(reader). The arrays handed to
// the callback are reused: copy what you keep. Lines of numbers, by far the
// bulk of a large output, are read from the bytes without making a string
// per line or per number, in WebAssembly once the line scanner is there
// (linescan.mjs). A run of lines of one number each that it reads goes to
// newReader's onSingles(values, count) if given, values a Float64Array
// valid during the call, instead of to onRow(['1'], [value]) line by line.
//
// newTable/addText/finishText/readColumns keep every row as columns, for
// output small enough to hold.
import {blockPair} from './gastats.mjs';
import {scanner, readNumbers, lines, numbers, passLines as passScanned} from './linescan.mjs';

// A number as printf writes one, or undefined for any other text.
export function toNumber(text) {
  const v = text.trim() === '' ? NaN : Number(text);
  if (Number.isFinite(v)) return v;
  return /^\s*[-+]?(nan|inf|infinity)\s*$/i.test(text) ? null : undefined;
}

// A value as a legend or a sentence shows it: six significant digits.
export function formatValue(v) {
  if (v === null || v === undefined || !Number.isFinite(v)) return '--';
  return Number.isInteger(v) ? String(v) : String(Number(v.toPrecision(6)));
}

const NUMBERED = []; // n -> ['1', ..., 'n'], made once per count
function numbered(n) {
  return (NUMBERED[n] ??= Array.from({length: n}, (_, i) => String(i + 1)));
}

export function newReader(onRow, onSingles = null) {
  return {onRow, onSingles, rest: null, block: null, labels: new Map(), values: [], rows: 0,
          decoder: new TextDecoder(), scanned: []};
}

function emit(reader, names, values) {
  reader.rows++;
  reader.onRow(names, values);
}

function closeBlock(reader) {
  const block = reader.block;
  reader.block = null;
  if (block && block.length) emit(reader, block.map((p) => p[0]), block.map((p) => p[1]));
}

const POW10 = [1, 10, 100, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15];

function labelNames(reader, label) {
  let names = reader.labels.get(label);
  if (!names) reader.labels.set(label, (names = label.split(',')));
  return names;
}

// One line, bytes[from, to).
function readLine(reader, b, from, to) {
  if (!reader.block) {
    let start = from, names = null;
    if (b[from] === 40) { // "(names)=" then numbers
      let close = from + 1;
      while (close + 1 < to && !(b[close] === 41 && b[close + 1] === 61)) close++;
      if (close + 1 < to) {
        names = labelNames(reader, String.fromCharCode(...b.subarray(from + 1, close)));
        start = close + 2;
      }
    }
    if (numberLine(b, start, to, reader.values, true) >= 0) {
      return emit(reader, names ?? numbered(reader.values.length), reader.values);
    }
  }
  slowLine(reader, reader.decoder.decode(b.subarray(from, to)));
}

function slowLine(reader, line) {
  if (line === '---') {
    closeBlock(reader);
    reader.block = [];
    return;
  }
  const pair = reader.block && blockPair(line);
  if (pair) {
    const value = toNumber(pair[1]);
    reader.block.push([pair[0], value === undefined ? pair[1] : value]);
    return;
  }
  const label = line.startsWith('(') ? /^\(([^)]*)\)=\s*(.*)$/.exec(line) : null;
  const words = (label ? label[2] : line).trim().split(/\s+/);
  const values = [];
  for (const w of words) {
    const v = toNumber(w);
    if (v === undefined) return;
    values.push(v);
  }
  emit(reader, label ? labelNames(reader, label[1]) : numbered(values.length), values);
}

// A line of plain decimals from b[i] on, read in the one pass that finds
// its end: the index of its newline, with `values` filled; -2 if the bytes
// end first (unless they end a `whole` line); -1 at anything else (an
// exponent, nan, a word: the slow path reads that line). Up to 15 digits
// the integer and the power of ten are exact, so the quotient is the
// correctly rounded value, as Number() gives.
function numberLine(b, i, n, values, whole = false) {
  let k = 0;
  for (;;) {
    let c = 10;
    while (i < n && ((c = b[i]) === 32 || c === 9 || c === 13)) i++;
    if (i >= n) {
      if (!whole) return -2;
      c = 10;
    }
    if (c === 10) {
      if (values.length !== k) values.length = k;
      return k ? i : -1;
    }
    const negative = c === 45;
    if (negative || c === 43) i++;
    let v = 0, start = i, scale = 0;
    // The digits before the point, then those after it: (c - 48) >>> 0 is
    // below 10 for a digit only.
    for (; i < n && ((c = b[i]) - 48) >>> 0 < 10; i++) v = v * 10 + (c - 48);
    if (i < n && c === 46) {
      const point = ++i;
      for (; i < n && ((c = b[i]) - 48) >>> 0 < 10; i++) v = v * 10 + (c - 48);
      scale = i - point;
      start++;
    }
    if (i >= n) {
      if (!whole) return -2;
      c = 10;
    }
    const digits = i - start;
    if (!digits || digits > 15 || !(c === 32 || c === 9 || c === 13 || c === 10)) return -1;
    if (scale) v /= POW10[scale];
    values[k++] = negative ? -v : v;
  }
}

// Passes over up to `count` lines of bytes from `from`: the position after
// the last newline passed (bytes.length if they end first), and in
// passed.lines how many were. Four bytes at a time, where the bytes are
// aligned: a view that keeps one line in thousands spends its time here.
export const passed = {lines: 0};

export function passLines(bytes, from, count) {
  const s = scanner();
  if (s && count > 16) {
    const i = passScanned(s, bytes, from, count);
    passed.lines = s.passed;
    return i;
  }
  let i = from, left = count;
  const n = bytes.length;
  while (left > 0 && i < n && (bytes.byteOffset + i) & 3) if (bytes[i++] === 10) left--;
  if (left > 0 && n - i >= 4) {
    const words = new Int32Array(bytes.buffer, bytes.byteOffset + i, (n - i) >> 2);
    let w = 0;
    for (; w < words.length; w++) {
      // The high bit of each byte of t is set where the word has a newline
      // (the exact zero-byte test of x, which carries no borrow between bytes).
      const x = words[w] ^ 0x0a0a0a0a;
      const t = ~(((x & 0x7f7f7f7f) + 0x7f7f7f7f) | x | 0x7f7f7f7f);
      const newlines = Math.imul(t >>> 7, 0x01010101) >>> 24;
      if (newlines >= left) break; // the last one is in this word: found byte by byte
      left -= newlines;
    }
    i += w * 4;
  }
  while (left > 0 && i < n) if (bytes[i++] === 10) left--;
  passed.lines = count - left;
  return i;
}

// The lines of numbers from bytes[from] that the scanner reads, each as a
// row: the position after them. A row's values are a Float64Array, one per
// count of numbers, reused.
function scannedLines(reader, s, bytes, from) {
  const end = readNumbers(s, bytes, from);
  const {values, widths} = s;
  const count = lines(s);
  if (reader.onSingles && numbers(s) === count) {
    reader.rows += count;
    reader.onSingles(values, count);
    return end;
  }
  for (let l = 0, k = 0; l < count; l++) {
    const w = widths[l];
    const row = (reader.scanned[w] ??= new Float64Array(w));
    for (let j = 0; j < w; j++) row[j] = values[k++];
    emit(reader, numbered(w), row);
  }
  return end;
}

// A piece of output as bytes (read at once: copy nothing of it to keep).
export function readBytes(reader, bytes) {
  let from = 0;
  if (reader.rest) {
    const end = bytes.indexOf(10);
    const line = new Uint8Array(reader.rest.length + (end < 0 ? bytes.length : end));
    line.set(reader.rest);
    line.set(end < 0 ? bytes : bytes.subarray(0, end), reader.rest.length);
    if (end < 0) {
      reader.rest = line;
      return reader;
    }
    reader.rest = null;
    readLine(reader, line, 0, line.length);
    from = end + 1;
  }
  const n = bytes.length;
  const s = scanner();
  while (from < n) {
    if (!reader.block && bytes[from] !== 40) {
      if (s) {
        const end = scannedLines(reader, s, bytes, from);
        if (end > from) {
          from = end;
          continue;
        }
      }
      const end = numberLine(bytes, from, n, reader.values);
      if (end >= 0) {
        emit(reader, numbered(reader.values.length), reader.values);
        from = end + 1;
        continue;
      }
      if (end === -2) break;
    }
    const end = bytes.indexOf(10, from);
    if (end < 0) break;
    readLine(reader, bytes, from, end);
    from = end + 1;
  }
  if (from < n) reader.rest = bytes.slice(from);
  return reader;
}

const encoder = new TextEncoder();

// The same for a piece of text.
export function readText(reader, text) {
  return readBytes(reader, encoder.encode(text));
}

// Reads a last line without its newline and the last open block.
export function finishReader(reader) {
  if (reader.rest) readLine(reader, reader.rest, 0, reader.rest.length);
  reader.rest = null;
  closeBlock(reader);
  return reader;
}

// Every row kept, as columns: {names, columns, rows}.
export function newTable() {
  const table = {names: [], columns: [], rows: 0};
  table.reader = newReader((names, values) => addRow(table, names, values));
  return table;
}

function column(table, name) {
  let i = table.names.indexOf(name);
  if (i < 0) {
    i = table.names.push(name) - 1;
    table.columns.push(new Array(table.rows).fill(null));
  }
  return i;
}

function addRow(table, names, values) {
  for (let i = 0; i < values.length; i++) table.columns[column(table, names[i])][table.rows] = values[i];
  table.rows++;
  for (const c of table.columns) if (c.length < table.rows) c.push(null);
}

export function addText(table, text) {
  readText(table.reader, text);
  return table;
}

export function finishText(table) {
  finishReader(table.reader);
  return table;
}

export function readColumns(text) {
  return finishText(addText(newTable(), text));
}
