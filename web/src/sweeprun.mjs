// A sweep/run.sh command line run in the page: its grid spread over Web
// Workers (one per core, at most 8), each run's line of the table as it
// ends, and at the end the table and the failures as sweep/run.sh reports
// them.
import {sweepRuns, tableHeader} from './sweep.mjs';

export const MAX_WORKERS = 8;

export function workerCount() {
  return Math.max(1, Math.min(MAX_WORKERS, globalThis.navigator?.hardwareConcurrency || 2));
}

// Starts the grid; onResult(result, ended, total) after every run,
// onDone(results) once all have ended. module: the program compiled
// already, which spares each worker compiling it. Returns {runs, stop}.
export function runGrid(sweep, {threads = workerCount(), module = null, onResult, onDone}) {
  const runs = sweepRuns(sweep);
  const results = new Array(runs.length);
  const workers = [];
  let next = 0, ended = 0;
  const stop = () => { for (const w of workers) w.terminate(); };
  const feed = (w) => {
    if (next >= runs.length) return;
    w.index = next++;
    w.postMessage({program: sweep.program, index: w.index, point: runs[w.index], module});
  };
  const receive = (w, result) => {
    results[result.index] = result;
    ended++;
    onResult(result, ended, runs.length);
    if (ended === runs.length) {
      stop();
      onDone(results);
    } else {
      feed(w);
    }
  };
  // A worker that fails its run is replaced, so that the others go on.
  const spawn = () => {
    const w = new Worker(new URL('./sweepworker.mjs', import.meta.url), {type: 'module'});
    w.onmessage = ({data}) => receive(w, data);
    w.onerror = (e) => {
      e.preventDefault();
      w.terminate();
      const fresh = spawn();
      workers[workers.indexOf(w)] = fresh;
      if (results[w.index] !== undefined) return; // it failed after its run had ended
      receive(fresh, {index: w.index, status: null, row: null, error: e.message || 'the worker did not start'});
    };
    return w;
  };
  for (let i = 0; i < Math.min(threads, runs.length); i++) {
    workers.push(spawn());
    feed(workers[i]);
  }
  if (!runs.length) onDone(results);
  return {runs, stop};
}

// table.txt: the header and the line of every run that ended with status 0,
// in the grid's order.
export function gridTable(sweep, results) {
  const rows = results.filter((r) => r?.status === 0 && r.row !== null).map((r) => r.row);
  return [tableHeader(sweep), ...rows].join('\n') + '\n';
}

// What sweep/run.sh writes to standard error about failed runs, and its
// exit status: 1 when a run failed or the table is empty.
export function gridReport(sweep, runs, results) {
  const failed = results.map((r, i) => [r, i]).filter(([r]) => r?.status !== 0);
  const lines = [];
  if (failed.length) {
    lines.push(`sweep: ${failed.length} of ${runs.length} runs failed; their lines are missing from the table`);
    for (const [r, i] of failed.slice(0, 3)) {
      lines.push(`  ${[sweep.program, ...runs[i].args].join(' ')}`,
                 `    exit status ${r?.status ?? 'none (the run did not end)'}:`,
                 ...(r?.error ?? '').split('\n').filter(Boolean).map((l) => `    | ${l}`));
    }
    if (failed.length > 3) lines.push(`  and ${failed.length - 3} more`);
  }
  const rows = results.filter((r) => r?.status === 0 && r.row !== null).length;
  return {text: lines.length ? lines.join('\n') + '\n' : '', status: failed.length || !rows ? 1 : 0};
}
