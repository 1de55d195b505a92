// The curves every program has had: the GA statistics per generation, the
// population shares of the pool, a map's series, the controlled orbit, and
// the bifurcation diagram of a sweep of r. Records as views.mjs describes.
import {newReader, readBytes, finishReader, formatValue} from './columns.mjs';
import {newEnvelope, addRow, envelopeData, newScatter, addPoint, scatterData} from './reduce.mjs';

const GA = ['peakseek', 'hillscan', 'jobmatch', 'tacticbreed'];
const BUILT_IN_PROBLEM = 'data/hop1.dat';
const BUILT_IN_BEST = 96; // the best total value of the built-in job problem

// A line reader whose rows go into an envelope of n series: pick(state,
// names, values, ys) gives a row's x, or null to skip it, and puts its n
// values in ys (reused from row to row), through num(). Numbers, not
// objects: a plain array would box every value of a long run.
function lineState(n, range, pick) {
  const state = {env: newEnvelope(n, range), labels: null};
  const ys = new Float64Array(n);
  state.reader = newReader((names, values) => {
    const x = pick(state, names, values, ys);
    if (x !== null) addRow(state.env, x, ys);
  });
  return state;
}

// A value for ys: NaN, a gap, for anything but a number (null would be 0).
const num = (v) => (typeof v === 'number' ? v : NaN);

const feed = (state, bytes) => { readBytes(state.reader, bytes); };
const close = (state) => { finishReader(state.reader); };
const snap = (state) => ({rows: state.env.rows, labels: state.labels, ...envelopeData(state.env)});

// Draws an envelope snapshot on one chart.
function drawLines(plot, data, ui) {
  ui.setData(plot, [data.x, ...data.ys], [data.last.x, ...data.last.values]);
}

function lastValues(data, labels) {
  if (!data.rows) return 'nothing yet';
  return labels.map((l, i) => `${l} ${formatValue(data.last.values[i])}`).join(', ');
}

// GA statistics: one block per generation; the average and the last
// numeric measure of the best are drawn.
const ga = {
  name: 'ga',
  progress: {noun: 'generation', count: '-gens'},
  serves: (run) => GA.includes(run.program) && !run.sweep,
  stream: (run) => (run.program === 'tacticbreed' ? 'stderr' : 'stdout'),
  start: (run) => lineState(2, {from: 0, to: Math.max(1, run.expected - 1)}, (state, names, values, ys) => {
    if (!state.columns) {
      const numeric = (i) => typeof values[i] === 'number';
      const average = names.findIndex((n, i) => numeric(i) && n.startsWith('average'));
      const best = names.findLastIndex((n, i) => numeric(i) && n.startsWith('best'));
      if (average < 0 || best < 0) return null;
      state.columns = [names.indexOf('time'), average, best];
      state.labels = [names[average], names[best]];
    }
    const [t, a, b] = state.columns;
    ys[0] = num(values[a]);
    ys[1] = num(values[b]);
    return values[t] ?? state.env.rows;
  }),
  bytes: feed,
  end: close,
  snapshot: snap,
  make(element, run, ui) {
    const score = run.program === 'tacticbreed';
    const marks = run.program === 'jobmatch' && run.text('-specs') === BUILT_IN_PROBLEM
      ? [{y: BUILT_IN_BEST, label: `best possible: ${BUILT_IN_BEST}`}] : [];
    return {ui, labels: null, element, marks, y: score ? 'score per round' : 'fitness'};
  },
  draw(view, data) {
    if (!data.labels) return;
    if (!view.plot) {
      view.plot = view.ui.chart(view.element, {x: 'generation', y: view.y, labels: data.labels,
                                               whole: true, marks: view.marks});
    }
    drawLines(view.plot, data, view.ui);
  },
  resize: (view) => view.plot && view.ui.fitWidth(view.plot, view.element),
  describe: (data) => `Line chart of ${data.labels?.join(' and ') ?? 'the statistics'} by generation, ` +
    `${data.rows} generations; at the last: ${lastValues(data, data.labels ?? [])}.`,
};

function shareLabels(run) {
  return (run.screen?.options ?? [])
    .map((o) => /^Initial population of (.*)\.$/.exec(o.help)?.[1]).filter(Boolean);
}

// Population shares per step, on an axis that widens the first steps, where
// the pool changes most.
const shares = {
  name: 'shares',
  progress: {noun: 'step', count: '-steps'},
  serves: (run) => run.program === 'tacticpool',
  stream: 'stdout',
  start: (run) => lineState(5, {from: 0, to: Math.max(1, run.expected - 1), log: true},
    (state, names, values, ys) => {
      for (let i = 0; i < 5; i++) ys[i] = num(values[i]);
      return state.env.rows;
    }),
  bytes: feed,
  end: close,
  snapshot: snap,
  make(element, run, ui) {
    const labels = shareLabels(run);
    return {ui, labels, element,
            plot: ui.chart(element, {x: 'step (log scale)', y: 'share of the population', labels,
                                     xlog: true, whole: true})};
  },
  draw: (view, data) => drawLines(view.plot, data, view.ui),
  resize: (view) => view.ui.fitWidth(view.plot, view.element),
  describe: (data, run) => `Line chart of the share of each strategy by step, ${data.rows} steps; ` +
    `at the last: ${lastValues(data, shareLabels(run))}.`,
};

// A map's series x(t), numbered from the first point printed.
const series = {
  name: 'series',
  progress: {noun: 'point', count: '-points'},
  serves: (run) => run.program === 'mapseries' && !run.sweep,
  stream: 'stdout',
  start(run) {
    const first = Math.max(0, run.number('-skip')) + 1;
    return lineState(1, {from: first, to: first + Math.max(1, run.expected - 1)},
      (state, names, values, ys) => {
        ys[0] = num(values[0]);
        return first + state.env.rows;
      });
  },
  bytes: feed,
  end: close,
  snapshot: snap,
  make: (element, run, ui) => ({ui, element,
    plot: ui.chart(element, {x: 'iterate', y: 'x', labels: ['x'], height: 380, whole: true})}),
  draw: (view, data) => drawLines(view.plot, data, view.ui),
  resize: (view) => view.ui.fitWidth(view.plot, view.element),
  describe: (data) => `Line chart of the map's x by iterate, ${data.rows} points; the last x is ` +
    `${formatValue(data.last.values[0])}.`,
};

function controlRanges(run) {
  const v = (name) => run.number(name);
  return [[v('-on1'), v('-off')], [v('-on2'), v('-points')]];
}

// The orbit x(t) and the control p(t), the steps under control shaded.
const control = {
  name: 'control',
  progress: {noun: 'step', count: '-points'},
  serves: (run) => run.program === 'orbitpin',
  stream: 'stdout',
  start: (run) => lineState(2, {from: 0, to: Math.max(1, run.expected)}, (state, names, values, ys) => {
    state.columns ??= ['t', 'x[t]', 'p[t]'].map((n) => names.indexOf(n));
    const [t, x, p] = state.columns;
    ys[0] = num(values[x]);
    ys[1] = num(values[p]);
    return values[t] ?? null;
  }),
  bytes: feed,
  end: close,
  snapshot: snap,
  make(element, run, ui) {
    const ranges = controlRanges(run);
    return {ui, element, plots: [
      ui.chart(element, {x: 't', y: 'x(t)', labels: ['x(t)'], ranges, shaded: 'control on', height: 300, whole: true}),
      ui.chart(element, {x: 't', y: 'p(t)', labels: ['p(t)'], ranges, height: 200, whole: true}),
    ]};
  },
  draw(view, data) {
    for (const [i, plot] of view.plots.entries()) {
      view.ui.setData(plot, [data.x, data.ys[i]], [data.last.x, data.last.values[i]]);
    }
  },
  resize: (view) => view.plots.forEach((p) => view.ui.fitWidth(p, view.element)),
  describe: (data) => `Line charts of the orbit x(t) and the control p(t), ${data.rows} steps; ` +
    `at the last: x ${formatValue(data.last.values[0])}, p ${formatValue(data.last.values[1])}.`,
};

// The bifurcation diagram: each run's points drawn above its r; a click on
// a column opens that r's series.
const sweep = {
  name: 'bifurcation',
  progress: {noun: 'run'},
  serves: (run) => run.program === 'mapseries' && Boolean(run.sweep),
  stream: 'stdout',
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
  snapshot: (state) => ({rows: state.runs, lastR: state.r[state.runs - 1] ?? null,
                         ...scatterData(state.scatter)}),
  make(element, run, ui) {
    const open = (x) => {
      let best = run.words[0];
      for (const w of run.words) if (Math.abs(w - x) < Math.abs(best - x)) best = w;
      const args = run.args.filter((a, i) => a !== '-r' && run.args[i - 1] !== '-r');
      ui.go({program: run.program, args: [...args, '-r', best], sweep: null});
    };
    return {ui, element, plot: ui.chart(element, {x: 'r', y: 'x', labels: ['x'], scatter: true,
                                                  height: 420, onPick: open})};
  },
  draw: (view, data) => view.ui.setData(view.plot, [data.x, data.y], [data.lastR, null],
                                        data.cells ? data : null),
  resize: (view) => view.ui.fitWidth(view.plot, view.element),
  describe: (data, run) => `Bifurcation diagram: the points of x for each r from ${run.words[0]} ` +
    `to ${run.words.at(-1)}, ${data.rows} of ${run.words.length} runs drawn. ` +
    'Click a column to open the series of its r.',
};

export const CURVES = [ga, shares, series, control, sweep];
