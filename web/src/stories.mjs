// The views that tell each model's story, beside its curves: the Henon
// plane (phase), a map's return plot (return), the landscape a genetic
// algorithm climbs (landscape), tacticbreed's best tables (strategies) and
// its final population (population). Records as views.mjs describes: the
// worker keeps a bounded sample of what the output says, the page draws it
// with pictures.mjs.
import {drawPhase, drawReturn, drawSurface, drawHump, drawStrategies} from './pictures.mjs';
import {tableHistories} from './formulas.mjs';

const SAMPLE = 20000; // points a view keeps of a long run, evenly spread
const GENERATIONS = 2000; // generations a landscape or raster keeps
const LETTERS = 1365; // table entries kept: the whole table up to a history of 5

// A sample of a stream of items: all while few, then every 2nd, 4th, ...
// item, so that it stays under `limit` and spreads over the whole run.
function newSample(limit) {
  return {items: [], stride: 1, seen: 0, limit};
}

function sample(s, item) {
  if (s.seen++ % s.stride) return;
  s.items.push(item);
  if (s.items.length < s.limit) return;
  s.items = s.items.filter((_, i) => i % 2 === 0);
  s.stride *= 2;
}

// Whole lines from pieces of text cut anywhere.
function lines(state, text, onLine) {
  const parts = (state.rest + text).split('\n');
  state.rest = parts.pop();
  for (const line of parts) onLine(line);
}

function finish(state, onLine) {
  if (state.rest) onLine(state.rest);
  state.rest = '';
}

// Page side: a canvas with its picture drawn from each snapshot; the text
// the drawing returns is the view's text alternative.
const texts = new WeakMap();
function canvasView(draw) {
  return {
    make(element, run) {
      const canvas = document.createElement('canvas');
      canvas.setAttribute('aria-hidden', 'true'); // the caption says what it shows
      element.append(canvas);
      return {element, canvas, run};
    },
    draw(view, data, run) {
      if (!data?.rows) return;
      view.data = data;
      texts.set(data, draw(view, data, run));
    },
    describe: (data) => texts.get(data) ?? 'Nothing drawn yet.',
    resize(view) { if (view.data) texts.set(view.data, draw(view, view.data, view.run)); },
  };
}

function record(name, {serves, stream, start, line, snapshot}, draw) {
  return {
    name, serves, stream,
    start: (run) => ({rest: '', rows: 0, ...start(run)}),
    text: (state, text) => lines(state, text, (l) => line(state, l)),
    end: (state) => finish(state, (l) => line(state, l)),
    snapshot,
    ...canvasView(draw),
  };
}

// orbitpin: "(t,x[t],y[t],p[t])=\tN\tX\tY\tP" per step.
const phase = record('phase', {
  serves: (run) => run.program === 'orbitpin' && !run.sweep,
  stream: 'stdout',
  start: (run) => ({points: newSample(SAMPLE), on: ['-on1', '-off', '-on2'].map((o) => run.number(o))}),
  line(state, l) {
    const f = l.split('\t');
    if (f.length < 4 || !l.startsWith('(')) return;
    const t = Number(f[1]) - 1; // steps after the skipped ones, from 0
    const [on1, off, on2] = state.on;
    sample(state.points, [Number(f[2]), Number(f[3]), (t >= on1 && t < off) || t >= on2]);
    state.rows++;
  },
  snapshot: (s) => ({rows: s.rows, x: s.points.items.map((p) => p[0]), y: s.points.items.map((p) => p[1]),
                     on: s.points.items.map((p) => p[2])}),
}, ({canvas}, data, run) => drawPhase(canvas, {...data, A: run.number('-A'), B: run.number('-B')}));

// mapseries: one value per line; the first ones make the cobweb.
const COBWEB = 40;
const returnMap = record('return', {
  serves: (run) => run.program === 'mapseries' && !run.sweep,
  stream: 'stdout',
  start: () => ({first: [], pairs: newSample(SAMPLE), previous: null}),
  line(state, l) {
    const x = Number(l);
    if (l.trim() === '' || Number.isNaN(x) && !/nan/.test(l)) return;
    if (state.first.length <= COBWEB) state.first.push(x);
    if (state.previous !== null) sample(state.pairs, [state.previous, x]);
    state.previous = x;
    state.rows++;
  },
  snapshot: (s) => ({rows: s.rows, first: s.first, pairs: [s.pairs.items.map((p) => p[0]), s.pairs.items.map((p) => p[1])]}),
}, ({canvas}, data, run) => drawReturn(canvas, {...data, func: run.text('-func'), r: run.number('-r'),
                                                aux: run.number('-aux')}));

// hillscan's "best (x, y) = (X, Y)" and peakseek's "best x = X", one per
// generation.
const landscape = record('landscape', {
  serves: (run) => (run.program === 'hillscan' || run.program === 'peakseek') && !run.sweep,
  stream: 'stdout',
  start: () => ({best: newSample(GENERATIONS)}),
  line(state, l) {
    const xy = /^best \(x, y\) = \((\S+), (\S+)\)$/.exec(l);
    const x = /^best x = (\S+)$/.exec(l);
    if (!xy && !x) return;
    sample(state.best, xy ? [Number(xy[1]), Number(xy[2])] : [Number(x[1]), 0]);
    state.rows++;
  },
  snapshot: (s) => ({rows: s.rows, bestX: s.best.items.map((p) => p[0]), bestY: s.best.items.map((p) => p[1])}),
}, ({canvas}, data, run) => (run.program === 'hillscan' ? drawSurface(canvas, data)
  : drawHump(canvas, {bestX: data.bestX, target: run.number('-target'), variance: run.number('-var')})));

// What each letter of a table answers, beside the raster.
function explainLetters(element, hlen) {
  const note = document.createElement('div');
  note.className = 'letters';
  const intro = document.createElement('p');
  intro.textContent = 'Each letter is a move, C (cooperate) or D (defect). The first is the opening move; ' +
    'then, for each number of remembered rounds up to the history length, one letter for every outcome ' +
    'of those rounds, written most recent round first, each round as own move then the other\'s.';
  note.append(intro);
  if (hlen >= 1 && hlen <= 2) {
    const list = document.createElement('ol');
    for (const h of tableHistories(hlen)) {
      list.append(Object.assign(document.createElement('li'), {textContent: h === 'opening move' ? h : `after ${h}`}));
    }
    note.append(list);
  }
  element.append(note);
}

// tacticbreed's "best = TABLE" per generation, on standard error.
const strategies = record('strategies', {
  serves: (run) => run.program === 'tacticbreed' && !run.sweep,
  stream: 'stderr',
  start: () => ({tables: newSample(GENERATIONS)}),
  line(state, l) {
    if (!l.startsWith('best = ')) return;
    sample(state.tables, l.slice(7, 7 + LETTERS));
    state.rows++;
  },
  snapshot: (s) => ({rows: s.rows, tables: s.tables.items, stride: s.tables.stride}),
}, ({canvas}, data) => drawStrategies(canvas, {tables: data.tables, stride: data.stride, final: null}));
const makeRaster = strategies.make;
strategies.make = (element, run) => {
  const view = makeRaster(element, run);
  explainLetters(element, run.number('-hlen'));
  return view;
};

// tacticbreed -dump: the final population on standard output, one table a
// line; the distinct ones with their counts.
const DISTINCT = 10000; // distinct tables counted; a larger population's rest is "other"
const population = record('population', {
  serves: (run) => run.program === 'tacticbreed' && !run.sweep && run.text('-dump') === 'ON',
  stream: 'stdout',
  start: () => ({counts: new Map(), other: 0}),
  line(state, l) {
    if (!/^[CD]+$/.test(l)) return;
    const table = l.slice(0, LETTERS);
    if (state.counts.has(table) || state.counts.size < DISTINCT) state.counts.set(table, (state.counts.get(table) ?? 0) + 1);
    else state.other++;
    state.rows++;
  },
  snapshot: (s) => ({rows: s.rows, distinct: s.counts.size, other: s.other,
                     final: [...s.counts].sort((a, b) => b[1] - a[1]).slice(0, 20)}),
}, ({canvas}, data) => drawStrategies(canvas, {tables: [], final: data.final, distinct: data.distinct}));

export const STORIES = [phase, returnMap, landscape, strategies, population];
