// A sweep's record offered beside its table's download, as sweep/run.sh
// writes it beside table.txt: ro-crate-metadata.json and SHA256SUMS. The
// checksums are taken by the browser's own digest, which does not hold up
// the page; where it is missing (a page not served from a secure origin),
// by sha256.mjs.
import {VERSION} from './version.mjs';
import {sweepRecord} from './sweeprecord.mjs';
import {crateJson, sha256Sums} from './record.mjs';
import {newSha256, addBytes, sha256Hex} from './sha256.mjs';

const $ = (id) => document.getElementById(id);

async function sha256(blob) {
  const bytes = new Uint8Array(await blob.arrayBuffer());
  if (!globalThis.crypto?.subtle) return sha256Hex(addBytes(newSha256(), bytes));
  const digest = new Uint8Array(await crypto.subtle.digest('SHA-256', bytes));
  return [...digest].map((b) => b.toString(16).padStart(2, '0')).join('');
}

function offer(id, text, type) {
  const a = $(id);
  a.href = URL.createObjectURL(new Blob([text], {type}));
  a.hidden = false;
}

// r: the page's run (page.mjs), ended or stopped, its table made.
export async function offerSweepRecord(r) {
  const table = r.chunks.stdout[0];
  const tableLink = $('download-stdout').href;
  const results = r.data?.find((d) => d?.results)?.results;
  if (!r.run.sweep || !results || !table || !tableLink) return;
  const record = sweepRecord({line: r.plan.line, sweep: r.run.sweep, results, version: VERSION,
                              table: {size: table.size, sha256: await sha256(table)}});
  if (!record) return;
  const crate = crateJson(record);
  const crateSha = await sha256(new Blob([crate]));
  if ($('download-stdout').href !== tableLink) return; // another run has begun
  offer('download-crate', crate, 'application/ld+json');
  offer('download-sums', sha256Sums([...record.files, {name: 'ro-crate-metadata.json', sha256: crateSha}]),
        'text/plain');
}
