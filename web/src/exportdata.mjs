// A run's data out of the page: its table (TSV) and its run record (an
// RO-Crate with the checksums of its output), made by the export worker
// once the run has ended, and the names of every file of the run, raw
// output included. The links are #export-tsv and #export-record.
import {newExporter} from './pool.mjs';
import {MSG} from './messages.mjs';
import {optionValues} from './command.mjs';
import {fileStem} from './exports.mjs';
import {shareLabels} from './curvedraw.mjs';
import {VERSION} from './version.mjs';
import {announce} from './show.mjs';

const $ = (id) => document.getElementById(id);
const exporter = {worker: null, asked: 0, waiting: new Map()};

// What exports.mjs needs to know of a run (page.mjs's run description).
export function aboutRun({program, args}, {values, words, sweep, screen}) {
  return {program, args, values, defaults: optionValues(screen, []), words, sweep,
          shares: program === 'tacticpool' ? shareLabels({screen}) : []};
}

export const streamNames = (stem) => ({stdout: `${stem}.txt`, stderr: `${stem}-stderr.txt`});

function ask(message) {
  if (!exporter.worker) {
    exporter.worker = newExporter();
    exporter.worker.onmessage = ({data}) => {
      const done = exporter.waiting.get(data.id);
      exporter.waiting.delete(data.id);
      if (data.error) done?.reject(new Error(data.error));
      else done?.resolve(data.blob);
    };
  }
  const id = ++exporter.asked;
  return new Promise((resolve, reject) => {
    exporter.waiting.set(id, {resolve, reject});
    exporter.worker.postMessage({type: MSG.EXPORT, id, ...message});
  });
}

// Ends the work for a run that is no longer on the page.
export function dropDataExports() {
  if (!exporter.waiting.size) return;
  exporter.worker.terminate();
  exporter.worker = null;
  for (const {reject} of exporter.waiting.values()) reject(new Error('dropped'));
  exporter.waiting.clear();
}

// Saves what a click made at once, while the click still counts as the
// reader's: a browser may block a download that comes later.
export function saveHref(href, name) {
  const a = Object.assign(document.createElement('a'), {href, download: name});
  document.body.append(a);
  a.click();
  a.remove();
}

// Offers the table and the record of an ended run as links, made in the
// export worker as soon as the run ends, so that a click downloads at once.
// r: the page's run record; status: how it ended, as the page shows it.
export function offerDataExports(r, status) {
  dropDataExports();
  const ended = new Date().toISOString();
  const stem = fileStem(r.about);
  const meta = {line: r.plan.line, version: VERSION, startTime: r.started, endTime: ended, status,
                names: streamNames(stem)};
  const files = {tsv: `${stem}.tsv`, record: `${stem}_record.json`};
  // A failed run has no table to speak of; its record says how it failed.
  for (const kind of status === '0' || status === 'stopped' ? ['tsv', 'record'] : ['record']) {
    ask({kind, about: r.about, chunks: r.chunks, meta}).then((blob) => {
      const a = $(`export-${kind}`);
      if (a.href) URL.revokeObjectURL(a.href);
      Object.assign(a, {href: URL.createObjectURL(blob), download: files[kind], hidden: false});
    }, (e) => {
      if (e.message !== 'dropped') announce(`The ${kind === 'tsv' ? 'table' : 'run record'} could not be made: ${e.message}`);
    });
  }
}
