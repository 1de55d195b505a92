// Writes DIST/sw.js, the service worker, with the list of files it keeps
// for offline use and a digest of their contents that names the build:
// node offline-copy.mjs DIST. Run once every other file of DIST is written.
import crypto from 'node:crypto';
import fs from 'node:fs';
import path from 'node:path';
import {fileURLToPath} from 'node:url';

// Not kept: the worker itself, and the single file, which is there to be
// downloaded and runs without a server anyway.
const LEFT_OUT = new Set(['sw.js', 'modelsuite.html']);

// The paths of the files below dir, relative to it, sorted.
export function filesUnder(dir, prefix = '') {
  return fs.readdirSync(dir, {withFileTypes: true}).flatMap((e) => (e.isDirectory()
    ? filesUnder(path.join(dir, e.name), `${prefix}${e.name}/`)
    : [`${prefix}${e.name}`])).sort();
}

export function writeServiceWorker(dist) {
  const files = filesUnder(dist).filter((f) => !LEFT_OUT.has(f));
  const hash = crypto.createHash('sha256');
  for (const f of files) {
    const bytes = fs.readFileSync(path.join(dist, f));
    hash.update(`${f}\0${bytes.length}\0`).update(bytes);
  }
  const build = hash.digest('hex').slice(0, 16);
  const template = fs.readFileSync(fileURLToPath(new URL('sw.js', import.meta.url)), 'utf8');
  const head = `// Written by web/pack/offline-copy.mjs.\nconst BUILD = '${build}';\nconst FILES = ${JSON.stringify(files, null, 1)};\n`;
  fs.writeFileSync(path.join(dist, 'sw.js'), head + template);
  return build;
}

if (import.meta.url === `file://${process.argv[1]}`) writeServiceWorker(process.argv[2]);
