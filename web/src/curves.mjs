// The reading half of the curves: the GA statistics per generation, the
// population shares of the pool, a map's series, the controlled orbit, and
// the bifurcation diagram of a loop over r. Each keeps a bounded envelope
// or scatter of its columns (reduce.mjs); curvedraw.mjs draws them. As
// views.mjs describes.
import {newReader, readBytes, finishReader} from './columns.mjs';
import {statColumn} from './gastats.mjs';
import {newEnvelope, addRow, addSeries, envelopeData, newScatter, addPoint, scatterData} from './reduce.mjs';
import {SPANS} from './views.mjs';

// A line reader whose rows go into an envelope of n series: pick(state,
// names, values, ys) gives a row's x, or null to skip it, and puts its n
// values in ys (reused from row to row), through num(). Numbers, not
// objects: a plain array would box every value of a long run. singles
// (state, values, count), if given, takes a run of rows of one number each
// at once (newReader).
function lineState(n, range, pick, singles = null) {
  const state = {env: newEnvelope(n, range), labels: null};
  const ys = new Float64Array(n);
  state.reader = newReader((names, values) => {
    const x = pick(state, names, values, ys);
    if (x !== null) addRow(state.env, x, ys);
  }, singles && ((values, count) => singles(state, values, count)));
  return state;
}

// A value for ys: NaN, a gap, for anything but a number (null would be 0).
const num = (v) => (typeof v === 'number' ? v : NaN);

const lines = (start) => ({
  start,
  bytes: (state, bytes) => { readBytes(state.reader, bytes); },
  end: (state) => { finishReader(state.reader); },
  snapshot: (state) => ({rows: state.env.rows, labels: state.labels, ...envelopeData(state.env)}),
});

// GA statistics: one block per generation; its average and best, the keys
// named as the program prints them.
const ga = lines((run) => lineState(2, {from: 0, to: Math.max(1, run.expected - 1)}, (state, names, values, ys) => {
  if (!state.columns) {
    const columns = names.map(statColumn);
    const [t, average, best] = ['generation', 'average', 'best'].map((c) => columns.indexOf(c));
    if (average < 0 || best < 0) return null;
    state.columns = [t, average, best];
    state.labels = [names[average], names[best]];
  }
  const [t, a, b] = state.columns;
  ys[0] = num(values[a]);
  ys[1] = num(values[b]);
  return values[t] ?? state.env.rows;
}));

// Population shares per step, on an axis that widens the first steps, where
// the pool changes most.
const shares = lines((run) => lineState(5, {from: 0, to: Math.max(1, run.expected - 1), log: true},
  (state, names, values, ys) => {
    for (let i = 0; i < 5; i++) ys[i] = num(values[i]);
    return state.env.rows;
  }));

// A map's series x(t), numbered from the first point printed.
const series = lines((run) => {
  const span = SPANS.series(run);
  return lineState(1, span, (state, names, values, ys) => {
    ys[0] = num(values[0]);
    return span.from + state.env.rows;
  }, (state, values, count) => addSeries(state.env, span.from + state.env.rows, values, count));
});

// The orbit x(t) and the control p(t).
const control = lines((run) => lineState(2, SPANS.control(run), (state, names, values, ys) => {
  state.columns ??= ['t', 'x[t]', 'p[t]'].map((n) => names.indexOf(n));
  const [t, x, p] = state.columns;
  ys[0] = num(values[x]);
  ys[1] = num(values[p]);
  return values[t] ?? null;
}));

// The bifurcation diagram: each run's points above its r. The reader hands
// the runs on one after another, as the shell loop prints them.
const bifurcation = {
  start(run) {
    const r = run.words.map(Number);
    const state = {r, runs: 0, scatter: newScatter({from: r[0], to: r.at(-1)})};
    state.reader = newReader((names, values) => addPoint(state.scatter, state.x, values[0]));
    return state;
  },
  bytes(state, bytes, index) {
    state.x = state.r[index];
    readBytes(state.reader, bytes);
  },
  end(state, index) {
    state.x = state.r[index];
    finishReader(state.reader);
    state.runs = index + 1;
  },
  snapshot: (state) => ({rows: state.runs, lastR: state.r[state.runs - 1] ?? null, ...scatterData(state.scatter)}),
};

export const CURVES = {ga, shares, series, control, bifurcation};
