// The drawing half of the curves (curves.mjs reads them): line charts and
// the bifurcation scatter, drawn with plots.mjs. As views.mjs describes.
import {chart, setData, fitWidth} from './plots.mjs';
import {formatValue} from './columns.mjs';
import {SPANS} from './views.mjs';

const BUILT_IN_PROBLEM = 'data/hop1.dat';
const BUILT_IN_BEST = 96; // the best total value of the built-in job problem

// Draws an envelope snapshot on one chart.
const drawLines = (plot, data) => setData(plot, [data.x, ...data.ys], [data.last.x, ...data.last.values]);

function lastValues(data, labels) {
  if (!data.rows) return 'nothing yet';
  return labels.map((l, i) => `${l} ${formatValue(data.last.values[i])}`).join(', ');
}

// One chart in the element, fitted to its width.
const oneChart = (options) => ({
  make: (element, run) => ({element, plot: chart(element, options(run))}),
  draw: (view, data) => drawLines(view.plot, data),
  resize: (view) => fitWidth(view.plot, view.element),
});

// The GA statistics: the chart is made once the first block names them.
const ga = {
  make(element, run) {
    const marks = run.program === 'jobmatch' && run.text('-specs') === BUILT_IN_PROBLEM
      ? [{y: BUILT_IN_BEST, label: `best possible: ${BUILT_IN_BEST}`}] : [];
    return {element, marks, plot: null, y: run.program === 'tacticbreed' ? 'score per round' : 'fitness'};
  },
  draw(view, data) {
    if (!data.labels) return;
    view.plot ??= chart(view.element, {x: 'generation', y: view.y, labels: data.labels, whole: true,
                                       marks: view.marks});
    drawLines(view.plot, data);
  },
  resize: (view) => view.plot && fitWidth(view.plot, view.element),
  describe: (data) => `Line chart of ${data.labels?.join(' and ') ?? 'the statistics'} by generation, ` +
    `${data.rows} generations; at the last: ${lastValues(data, data.labels ?? [])}.`,
};

// tacticpool's strategies, as its help screen names their initial shares.
export function shareLabels(run) {
  return (run.screen?.options ?? []).map((o) => /^Initial population of (.*)\.$/.exec(o.help)?.[1]).filter(Boolean);
}

const shares = {
  ...oneChart((run) => ({x: 'step (log scale)', y: 'share of the population', labels: shareLabels(run),
                         xlog: true, whole: true})),
  describe: (data, run) => `Line chart of the share of each strategy by step, ${data.rows} steps; ` +
    `at the last: ${lastValues(data, shareLabels(run))}.`,
};

const series = {
  ...oneChart((run) => ({x: 'iterate', y: 'x', labels: ['x'], height: 380, whole: true, span: SPANS.series(run)})),
  describe: (data) => `Line chart of the map's x by iterate, ${data.rows} points; the last x is ` +
    `${formatValue(data.last.values[0])}.`,
};

// The orbit x(t) and the control p(t), the steps under control shaded.
const control = {
  make(element, run) {
    const v = (name) => run.number(name);
    const ranges = [[v('-on1'), v('-off')], [v('-on2'), v('-points')]];
    const span = SPANS.control(run);
    return {element, plots: [
      chart(element, {x: 't', y: 'x(t)', labels: ['x(t)'], ranges, shaded: 'control on', height: 300, whole: true, span}),
      chart(element, {x: 't', y: 'p(t)', labels: ['p(t)'], ranges, height: 200, whole: true, span}),
    ]};
  },
  draw(view, data) {
    for (const [i, plot] of view.plots.entries()) setData(plot, [data.x, data.ys[i]], [data.last.x, data.last.values[i]]);
  },
  resize: (view) => view.plots.forEach((p) => fitWidth(p, view.element)),
  describe: (data) => `Line charts of the orbit x(t) and the control p(t), ${data.rows} steps; ` +
    `at the last: x ${formatValue(data.last.values[0])}, p ${formatValue(data.last.values[1])}.`,
};

// A click on a column of the diagram opens the series of its r.
const bifurcation = {
  make(element, run, go) {
    const open = (x) => {
      let best = run.words[0];
      for (const w of run.words) if (Math.abs(w - x) < Math.abs(best - x)) best = w;
      const args = run.args.filter((a, i) => a !== '-r' && run.args[i - 1] !== '-r');
      go({program: run.program, args: [...args, '-r', best], bifurcation: null});
    };
    return {element, plot: chart(element, {x: 'r', y: 'x', labels: ['x'], scatter: true, height: 420, onPick: open})};
  },
  draw: (view, data) => setData(view.plot, [data.x, data.y], [data.lastR, null], data.cells ? data : null),
  resize: (view) => fitWidth(view.plot, view.element),
  describe: (data, run) => `Bifurcation diagram: the points of x for each r from ${run.words[0]} ` +
    `to ${run.words.at(-1)}, ${data.rows} of ${run.words.length} runs drawn. ` +
    'Click a column to open the series of its r.',
};

export const CURVE_DRAWINGS = {ga, shares, series, control, bifurcation};
