// The registry of plot kinds. A run is drawn by every record that serves it,
// each in its own element of #plot; a record is the one place that says how
// its kind is made, fed, reduced, drawn and put into words.
//
// A record is a plain object:
//   name      its element in #plot is <figure data-view="NAME">, which
//             holds the element the record draws in and its text alternative
//   serves(run) -> true if it draws this run (see `run` below)
//   progress  optional {noun, count}: the first record that serves a run and
//             has one counts its progress, as the rows of its snapshots
//             against the value of option `count` ('generation 12 of 50';
//             a sweep counts its runs)
//
//   Worker side (runs in the worker; no DOM, no page state):
//   stream    'stdout' or 'stderr', or (run) -> one of them: what it reads
//   start(run) -> state   its state for one run (or one sweep of runs)
//   text(state, text, index)  a piece of the stream as it comes, cut
//             anywhere (index: the run of a sweep, else 0); or instead
//   bytes(state, bytes, index)  the same piece as bytes, valid only during
//             the call (faster for long output: columns.mjs reads them)
//   end(state, index, status)  optional: a run ended (the last piece of its
//             stream has come)
//   snapshot(state) -> data   what the page draws now: structured-cloneable,
//             of bounded size whatever the length of the run, with `rows`
//             (complete rows read) where the record counts progress. Taken
//             at most every 100 ms while output comes, and at the end; after
//             Stop the page keeps the last one.
//
//   Page side (main thread; keep each call well under 100 ms):
//   make(element, run, ui) -> view   builds its content in `element`; ui
//             holds the chart helpers (plots.mjs) and go(command), which
//             opens another command line
//   draw(view, data, run)   shows a snapshot
//   describe(data, run) -> text   a short text alternative: what the view
//             shows and its last values
//   resize(view)   optional: the width of #plot changed
//
// `run`, the same on both sides: {program, args, sweep, words, values,
// screen, expected, text(name), number(name)}: words are a sweep's values of
// r (one run each), values the option values as the program reads them
// (text(name) gives one as text, number(name) as a number, 0 if none),
// screen the program's parsed help screen (help.mjs), expected the rows (or
// runs of a sweep) to come, or 0 when unknown.
//
// A record file imports no DOM code, so that the worker can load it.
import {CURVES} from './curves.mjs';
import {STORIES} from './stories.mjs';

export const VIEWS = [...CURVES, ...STORIES];

export function viewsFor(run) {
  return VIEWS.filter((v) => v.serves(run));
}

export function progressView(run) {
  return viewsFor(run).find((v) => v.progress);
}

export function streamOf(view, run) {
  return typeof view.stream === 'function' ? view.stream(run) : view.stream;
}

// The run description both sides share, from what the page sends: the
// command, the option values as the program reads them and the sweep's r.
export function describeRun({program, args, sweep}, {values, words = null, screen = null}) {
  const run = {program, args, sweep, words, values, screen};
  run.text = (name) => values[name] ?? '';
  run.number = (name) => {
    const v = Number(values[name]);
    return Number.isFinite(v) ? v : 0;
  };
  const counted = progressView(run)?.progress?.count;
  run.expected = words ? words.length : Math.max(0, Math.trunc(counted ? run.number(counted) : 0));
  return run;
}
