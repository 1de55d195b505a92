// A sweep's record offered beside its table's download, as sweep/run.sh
// writes it beside table.txt: ro-crate-metadata.json and SHA256SUMS. The
// checksums are taken by a worker of the pool, off the page's thread.
import {VERSION} from './version.mjs';
import {MSG} from './messages.mjs';
import {sweepRecord} from './sweeprecord.mjs';
import {crateJson, sha256Sums} from './record.mjs';

const $ = (id) => document.getElementById(id);

async function sha256(pool, blob) {
  const reply = await pool.submit({tag: 'hash', urgent: true, message: {type: MSG.HASH, blobs: [blob]}});
  if (reply?.type !== MSG.HASHED) throw new Error('no checksum of the sweep\'s table');
  return reply.sha256;
}

function offer(id, text, type) {
  const a = $(id);
  a.href = URL.createObjectURL(new Blob([text], {type}));
  a.hidden = false;
}

// r: the page's run (page.mjs), ended or stopped, its table made; pool
// its pool of workers (pool.mjs).
export async function offerSweepRecord(pool, r) {
  const table = r.chunks.stdout[0];
  const tableLink = $('download-stdout').href;
  const results = r.data?.find((d) => d?.results)?.results;
  if (!r.run.sweep || !results || !table || !tableLink) return;
  const record = sweepRecord({line: r.plan.line, sweep: r.run.sweep, results, version: VERSION,
                              table: {size: table.size, sha256: await sha256(pool, table)}});
  if (!record) return;
  const crate = crateJson(record);
  const crateSha = await sha256(pool, new Blob([crate]));
  if ($('download-stdout').href !== tableLink) return; // another run has begun
  offer('download-crate', crate, 'application/ld+json');
  offer('download-sums', sha256Sums([...record.files, {name: 'ro-crate-metadata.json', sha256: crateSha}]),
        'text/plain');
}
