// The reading half of the views that tell each model's story, beside its
// curves: the Henon plane (phase), a map's return plot (return), the
// landscape a genetic algorithm climbs (landscape), tacticbreed's best
// tables (strategies) and its final population (population). Each keeps a
// bounded sample of what the output says; storydraw.mjs draws it. As
// views.mjs describes.
import {passLines, passed} from './columns.mjs';

const SAMPLE = 10000; // points a view keeps of a long run, evenly spread
const PAIRS = 5000; // pairs a return map keeps: they all lie on one curve
const GENERATIONS = 2000; // generations a landscape or raster keeps
const LETTERS = 1365; // table entries kept: the whole table up to a history of 5

// A sample of a stream of items: all while few, then every 2nd, 4th, ...
// item, so that it stays under `limit` and spreads over the whole run. Each
// item is either kept or passed; due() says whether the next is kept.
function newSample(limit) {
  return {items: [], stride: 1, seen: 0, limit};
}

const due = (s) => s.seen % s.stride === 0;
const pass = (s) => { s.seen++; };

// Passes this item and the lines of the next ones up to the next kept,
// for a view that keeps one item per line.
function passOver(state, s) {
  const skip = s.stride - (s.seen % s.stride) - 1;
  s.seen += skip + 1;
  state.skip = skip;
}

function keep(s, item) {
  s.seen++;
  s.items.push(item);
  if (s.items.length < s.limit) return;
  s.items = s.items.filter((_, i) => i % 2 === 0);
  s.stride *= 2;
}

// Lines from pieces of bytes cut anywhere, each handed on as bytes[from,
// to) of bytes valid only during the call: a long run costs little more
// than finding its newlines, since only the lines a view keeps are made
// into text, and a view may have the next state.skip lines passed over
// unseen. A line longer than LINE bytes is handed on cut there.
const LINE = 2048;

// The position after the newline that ends the state.skip-th line from
// `from`, counting state.skip down and each line passed over as a row;
// bytes.length when the bytes end first.
function skipLines(state, bytes, from) {
  if (state.skip <= 0) return from;
  const i = passLines(bytes, from, state.skip);
  state.skip -= passed.lines;
  state.rows += passed.lines;
  return i;
}

function readLines(state, bytes, onLine) {
  let from = skipLines(state, bytes, 0); // no line is kept in part while lines are passed over
  if (state.skip > 0) return;
  if (state.rest) {
    const end = bytes.indexOf(10);
    const head = bytes.subarray(0, end < 0 ? bytes.length : end);
    const joined = new Uint8Array(state.rest.length + Math.min(LINE - state.rest.length, head.length));
    joined.set(state.rest);
    joined.set(head.subarray(0, joined.length - state.rest.length), state.rest.length);
    state.rest = joined;
    if (end < 0) return;
    onLine(state, joined, 0, joined.length);
    state.rest = null;
    from = skipLines(state, bytes, end + 1);
  }
  for (let end = bytes.indexOf(10, from); end >= 0; end = bytes.indexOf(10, from)) {
    onLine(state, bytes, from, end);
    from = state.skip > 0 ? skipLines(state, bytes, end + 1) : end + 1;
  }
  if (state.skip > 0) return;
  if (from < bytes.length) state.rest = bytes.slice(from, from + LINE);
}

function endLines(state, onLine) {
  if (state.rest) onLine(state, state.rest, 0, state.rest.length);
  state.rest = null;
}

// The text of bytes[from, to) (the programs print ASCII).
const text = (b, from, to) => String.fromCharCode.apply(null, b.subarray(from, Math.min(to, from + LINE)));

function startsWith(b, from, to, prefix) {
  if (to - from < prefix.length) return false;
  for (let i = 0; i < prefix.length; i++) if (b[from + i] !== prefix.charCodeAt(i)) return false;
  return true;
}

// A reading of one line at a time.
function record({start, line, snapshot}) {
  return {
    start: (run) => ({rest: null, skip: 0, rows: 0, ...start(run)}),
    bytes: (state, bytes) => readLines(state, bytes, line),
    end: (state) => endLines(state, line),
    snapshot,
  };
}

// orbitpin: "(t,x[t],y[t],p[t])=\tN\tX\tY\tP" per step.
const phase = record({
  start: (run) => ({points: newSample(SAMPLE), on: ['-on1', '-off', '-on2'].map((o) => run.number(o))}),
  line(state, b, from, to) {
    if (b[from] !== 40) return; // "("
    state.rows++;
    if (!due(state.points)) return passOver(state, state.points);
    const f = text(b, from, to).split('\t');
    const t = Number(f[1]) - 1; // steps after the skipped ones, from 0
    const [on1, off, on2] = state.on;
    keep(state.points, [Number(f[2]), Number(f[3]), (t >= on1 && t < off) || t >= on2]);
  },
  snapshot: (s) => ({rows: s.rows, x: s.points.items.map((p) => p[0]), y: s.points.items.map((p) => p[1]),
                     on: s.points.items.map((p) => p[2])}),
});

// mapseries: one value per line; the first ones make the cobweb. A pair
// (x(t), x(t+1)) is kept as its first value comes and completed by the next.
const COBWEB = 40;
const returnMap = record({
  start: () => ({first: [], pairs: newSample(PAIRS), open: null}),
  line(state, b, from, to) {
    const i = state.rows++;
    const start = due(state.pairs);
    if (!start && !state.open && i > COBWEB) return passOver(state, state.pairs);
    const x = Number(text(b, from, to));
    if (i <= COBWEB) state.first.push(x);
    if (state.open) state.open[1] = x;
    state.open = start ? [x, NaN] : null;
    start ? keep(state.pairs, state.open) : pass(state.pairs);
  },
  snapshot(s) {
    const pairs = s.pairs.items.filter((p) => p !== s.open);
    return {rows: s.rows, first: s.first, pairs: [pairs.map((p) => p[0]), pairs.map((p) => p[1])]};
  },
});

// hillscan's "best (x, y) = (X, Y)" and peakseek's "best x = X", one per
// generation.
const landscape = record({
  start: () => ({best: newSample(GENERATIONS)}),
  line(state, b, from, to) {
    if (!startsWith(b, from, to, 'best (x, y) = (') && !startsWith(b, from, to, 'best x = ')) return;
    state.rows++;
    if (!due(state.best)) return pass(state.best);
    const l = text(b, from, to);
    const xy = /^best \(x, y\) = \((\S+), (\S+)\)$/.exec(l);
    keep(state.best, xy ? [Number(xy[1]), Number(xy[2])] : [Number(l.slice(9)), 0]);
  },
  snapshot: (s) => ({rows: s.rows, bestX: s.best.items.map((p) => p[0]), bestY: s.best.items.map((p) => p[1])}),
});

// tacticbreed's "best = TABLE" per generation, on standard error.
const strategies = record({
  start: () => ({tables: newSample(GENERATIONS)}),
  line(state, b, from, to) {
    if (!startsWith(b, from, to, 'best = ')) return;
    state.rows++;
    if (!due(state.tables)) return pass(state.tables);
    keep(state.tables, text(b, from + 7, Math.min(to, from + 7 + LETTERS)));
  },
  snapshot: (s) => ({rows: s.rows, tables: s.tables.items, stride: s.tables.stride}),
});

// tacticbreed -dump: the final population on standard output, one table a
// line; the distinct ones with their counts.
const DISTINCT = 10000; // distinct tables counted; a larger population's rest is "other"
const population = record({
  start: () => ({counts: new Map(), other: 0}),
  line(state, b, from, to) {
    const table = text(b, from, Math.min(to, from + LETTERS));
    if (!/^[CD]+$/.test(table)) return;
    const count = state.counts.get(table);
    if (count || state.counts.size < DISTINCT) state.counts.set(table, (count ?? 0) + 1);
    else state.other++;
    state.rows++;
  },
  snapshot: (s) => ({rows: s.rows, distinct: s.counts.size, other: s.other,
                     final: [...s.counts].sort((a, b) => b[1] - a[1]).slice(0, 20)}),
});

export const STORIES = {phase, return: returnMap, landscape, strategies, population};
