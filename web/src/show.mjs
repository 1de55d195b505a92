// What the page shows of a run besides its views: the command line, the
// progress, the alert and the announcement, the output and its downloads.
// Each function takes the run's record (page.mjs) and touches only the
// elements it names.
import {placeStatistics} from './statistics.mjs';

const $ = (id) => document.getElementById(id);

// The command line, broken between its words only (never after a dash).
export function showCommand(line) {
  const words = line.split(' ').map((w) => Object.assign(document.createElement('span'), {textContent: w}));
  $('command').replaceChildren(...words.flatMap((w, i) => (i ? [' ', w] : [w])));
}

// A refusal or failure: said at once by the alert, and seen.
export function alertText(text, detail = '') {
  $('alert').hidden = false; // shown first: a reader announces what then comes into it
  $('alert-detail').hidden = !detail;
  $('alert-text').textContent = text;
  $('alert-detail').textContent = detail;
}

export function announce(text) {
  $('announce').textContent = text;
}

export function clearOutputs() {
  for (const id of ['stdout', 'stderr', 'status', 'progress-text', 'announce']) $(id).textContent = '';
  $('plot').replaceChildren();
  for (const id of ['stdout-note', 'stderr', 'sine-note', 'alert', 'stopped-note']) $(id).hidden = true;
  document.body.classList.remove('failed');
  for (const id of ['download-stdout', 'download-stderr', 'download-crate', 'download-sums', 'export-tsv',
                    'export-record']) {
    const a = $(id);
    if (a.href) URL.revokeObjectURL(a.href);
    a.removeAttribute('href');
    a.hidden = true;
  }
}

export function showText(r) {
  placeStatistics(r);
  for (const name of ['stdout', 'stderr']) {
    const text = r.head[name];
    if (r.shown[name] === text) continue;
    r.shown[name] = text;
    $(name).textContent = text;
    if (name === 'stderr') $('stderr').hidden = !text;
  }
  $('stdout-note').hidden = !(r.size.stdout > r.head.stdout.length);
}

// "generation 12 of 50", from the rows of the view that counts.
export function showProgress(r) {
  const {run} = r;
  const counter = r.views.find((v) => v.progress);
  const done = r.data?.[r.views.indexOf(counter)]?.rows ?? 0;
  const noun = counter?.progress.noun ?? 'row';
  const bar = $('progress');
  if (run.expected > 0) {
    bar.max = run.expected;
    bar.value = Math.min(done, run.expected);
  } else {
    bar.removeAttribute('value');
  }
  $('progress-text').textContent = run.expected > 0 ? `${noun} ${done} of ${run.expected}` : `${done} ${noun}s`;
}

export function setDownloads(r) {
  for (const name of ['stdout', 'stderr']) {
    const a = $(`download-${name}`);
    a.hidden = !r.size[name];
    if (!r.size[name]) continue;
    a.href = URL.createObjectURL(new Blob(r.chunks[name], {type: 'text/plain'}));
    a.download = `${r.stem}${name === 'stderr' ? '-stderr' : ''}.txt`; // as the run record names it
  }
}

// The program's message, without the help screen that may follow it.
export function failureMessage(stderr) {
  const usage = stderr.search(/^Usage: /m);
  const text = (usage >= 0 ? stderr.slice(0, usage) : stderr).trim();
  return text.split('\n').slice(0, 6).join('\n');
}
