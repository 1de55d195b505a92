// The registry of views. A run is drawn by every view that serves it, each
// in its own <figure data-view="NAME"> of #plot. A view has two halves
// under its name.
//
// Its reading runs in the reader worker (curves.mjs, stories.mjs,
// sweepread.mjs) and imports nothing that draws:
//   start(run) -> state
//   bytes(state, bytes, index, stream)  a piece of its stream as it comes,
//       cut anywhere, valid only during the call (index: the run of a
//       bifurcation loop or sweep, else 0)
//   end(state, index, status, error, {started, finished})  optional: that
//       run's last piece came; the times in ms since 1970, as the runner saw them
//   snapshot(state) -> data  what the page draws now: structured-cloneable,
//       of bounded size whatever the length of the run, with `rows`
//       (complete rows read). Taken at most every TIMING.message ms and at
//       the end; after Stop the page keeps the last one.
//
// Its drawing runs in the page (curvedraw.mjs, storydraw.mjs,
// sweepdraw.mjs); keep each call well under 100 ms:
//   make(element, run, go) -> view  builds its content in element;
//       go(command) opens another command line
//   draw(view, data, run)
//   describe(data, run, view) -> a short text alternative: what the view
//       shows and its last values
//   resize(view)  optional: the width of #plot changed
//   output(data, run) -> {stdout, stderr, status}  optional: the run's
//       output is made from the view's data (a sweep's table)
//
// Here is what both halves need: which runs a view serves, what it reads
// and how it counts progress. This module imports nothing.
//
// `run`, the same on both sides (describeRun): {program, args, words,
// sweep, values, screen, expected, text(name), number(name)}: words are a
// bifurcation loop's values of r (one run each), sweep a sweep/run.sh grid
// (sweep.mjs), values the option values as the program reads them
// (text(name) gives one as text, number(name) as a number, 0 if none),
// screen the program's parsed help screen (help.mjs), expected the rows (or
// runs) to come, or 0 when unknown.

const GA = ['peakseek', 'hillscan', 'jobmatch', 'tacticbreed'];
const single = (run) => !run.words && !run.sweep;

// name, serves(run), stream ('stdout', 'stderr', 'both', or (run) -> one),
// progress: optional {noun, count}: the first view that serves a run and
// has one counts its progress, as the rows of its snapshots against the
// value of option `count` ('generation 12 of 50'; without count, runs).
export const VIEWS = [
  {name: 'ga', serves: (run) => GA.includes(run.program) && single(run),
   stream: (run) => (run.program === 'tacticbreed' ? 'stderr' : 'stdout'),
   progress: {noun: 'generation', count: '-gens'}},
  {name: 'shares', serves: (run) => run.program === 'tacticpool' && !run.sweep, stream: 'stdout',
   progress: {noun: 'step', count: '-steps'}},
  {name: 'series', serves: (run) => run.program === 'mapseries' && single(run), stream: 'stdout',
   progress: {noun: 'point', count: '-points'}},
  {name: 'control', serves: (run) => run.program === 'orbitpin', stream: 'stdout',
   progress: {noun: 'step', count: '-points'}},
  {name: 'bifurcation', serves: (run) => run.program === 'mapseries' && Boolean(run.words), stream: 'stdout',
   progress: {noun: 'run'}},
  {name: 'sweep', serves: (run) => Boolean(run.sweep), stream: 'both', progress: {noun: 'run'}},
  {name: 'phase', serves: (run) => run.program === 'orbitpin' && single(run), stream: 'stdout'},
  {name: 'return', serves: (run) => run.program === 'mapseries' && single(run), stream: 'stdout'},
  {name: 'landscape', serves: (run) => (run.program === 'hillscan' || run.program === 'peakseek') && single(run),
   stream: 'stdout'},
  {name: 'strategies', serves: (run) => run.program === 'tacticbreed' && single(run), stream: 'stderr'},
  {name: 'population', serves: (run) => run.program === 'tacticbreed' && single(run) && run.text('-dump') === 'ON',
   stream: 'stdout'},
];

// The x a map's series and the controlled orbit span once the run has
// ended, known from the start: their readings reduce over it, and their
// charts show all of it while the run goes on.
export const SPANS = {
  series(run) {
    const first = Math.max(0, run.number('-skip')) + 1;
    return {from: first, to: first + Math.max(1, run.expected - 1)};
  },
  control: (run) => ({from: 0, to: Math.max(1, run.expected)}),
};

export function viewsFor(run) {
  return VIEWS.filter((v) => v.serves(run));
}

export function streamOf(view, run) {
  return typeof view.stream === 'function' ? view.stream(run) : view.stream;
}

// The run description both sides share, from what the page sends: the
// command, the option values as the program reads them, a bifurcation
// loop's values of r or a sweep's grid.
export function describeRun({program, args}, {values, words = null, sweep = null, screen = null}) {
  const run = {program, args, words, sweep, values, screen};
  run.text = (name) => values[name] ?? '';
  run.number = (name) => {
    const v = Number(values[name]);
    return Number.isFinite(v) ? v : 0;
  };
  const counted = viewsFor(run).find((v) => v.progress)?.progress.count;
  run.expected = words ? words.length : sweep ? sweep.values.length * sweep.seeds
    : Math.max(0, Math.trunc(counted ? run.number(counted) : 0));
  return run;
}
