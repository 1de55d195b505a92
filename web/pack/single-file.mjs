// Packs the built page into one HTML file that runs from disk, alone, with
// no server: node single-file.mjs DIST OUT. esbuild bundles the page's
// modules into one script, and each worker's modules, with every program,
// into one more; the WebAssembly, styles and manual pages go in beside
// them, and single-boot.js starts the workers from Blob URLs.
import fs from 'node:fs';
import path from 'node:path';
import {fileURLToPath} from 'node:url';
import * as esbuild from 'esbuild-wasm';
import {filesUnder} from './offline-copy.mjs';

const BASE = 'https://single-file.invalid/';
// The service worker and its registration serve only the served folder.
const SERVED_ONLY = new Set(['sw.js', 'offline.js']);
// A worker's module: one that answers messages at its top level, or that a
// module starts as new URL('./name.mjs', import.meta.url) or index.html as
// new Worker('name.mjs').
const ANSWERS = /^(?:self\.|globalThis\.)?(?:onmessage\s*=|addEventListener\(\s*['"]message)/m;
const STARTED = /new URL\(\s*['"]\.\/([\w.-]+\.mjs)['"]\s*,\s*import\.meta\.url|new Worker\(\s*['"]([\w.-]+\.mjs)['"]/g;

// A module as packed: import.meta.url is its address under BASE, and an
// import() of a computed name asks the packed modules first.
export function packedSource(name, source) {
  return source
    .replace(/\bimport\s*\((?!\s*['"])/g, `__singleImport(${JSON.stringify(BASE + name)}, `)
    .replace(/\bimport\.meta\.url\b/g, JSON.stringify(BASE + name));
}

// The module that defines __singleImport over the given modules.
function importsModule(names) {
  const lines = names.map((n, i) => `import * as m${i} from ${JSON.stringify('./' + n)};`);
  const table = names.map((n, i) => `${JSON.stringify(n)}: m${i}`).join(', ');
  return `${lines.join('\n')}
const packed = {${table}};
globalThis.__singleImport = (from, spec) => {
  const href = new URL(spec, from).href;
  const module = href.startsWith(${JSON.stringify(BASE)}) && packed[href.slice(${BASE.length})];
  return module ? Promise.resolve(module) : import(spec);
};
`;
}

async function bundle(dist, entries, packedModules, format) {
  const plugin = {
    name: 'single-file',
    setup(build) {
      build.onResolve({filter: /^single:imports$/}, () => ({path: 'imports', namespace: 'single'}));
      build.onLoad({filter: /.*/, namespace: 'single'}, () => ({
        contents: importsModule(packedModules), resolveDir: dist, loader: 'js'}));
      build.onLoad({filter: /\.m?js$/}, async (args) => {
        const name = path.relative(dist, args.path).split(path.sep).join('/');
        return {contents: packedSource(name, await fs.promises.readFile(args.path, 'utf8')), loader: 'js'};
      });
    },
  };
  const contents = ['single:imports', ...entries].map((e) => `import ${JSON.stringify(e)};`).join('\n');
  const result = await esbuild.build({
    stdin: {contents, resolveDir: dist, sourcefile: 'single-file-entry.mjs'},
    bundle: true, format, write: false, plugins: [plugin], external: ['node:*'], logLevel: 'error',
    target: 'es2022',
  });
  return result.outputFiles[0].text;
}

// Text for a <script> element: nothing in it can close the element.
const scriptSafe = (text) => text.replace(/<\/(script)/gi, '<\\/$1').replace(/<!--/g, '<\\!--');
const jsonSafe = (value) => JSON.stringify(value).replace(/</g, '\\u003c');

export async function pack(dist) {
  const names = filesUnder(dist);
  const read = (name) => fs.readFileSync(path.join(dist, name));
  const programs = names.filter((n) => /^programs\/.*\.mjs$/.test(n));
  const top = names.filter((n) => /^[^/]*\.(mjs|html)$/.test(n)).map((n) => [n, read(n).toString('utf8')]);
  const started = top.flatMap(([, text]) => [...text.matchAll(STARTED)].map((m) => m[1] ?? m[2]));
  const workerNames = top.filter(([n, text]) => n.endsWith('.mjs') && (ANSWERS.test(text) || started.includes(n)))
    .map(([n]) => n);
  const workers = {};
  for (const name of workerNames) workers[name] = await bundle(dist, ['./' + name], programs, 'iife');
  const wasm = Object.fromEntries(names.filter((n) => n.endsWith('.wasm')).map((n) => [n, read(n).toString('base64')]));
  const pages = Object.fromEntries(names.filter((n) => /^man\/.*\.html$/.test(n)).map((n) => [n, read(n).toString('utf8')]));

  const entries = [];
  let html = read('index.html').toString('utf8')
    .replace(/<link\b(?=[^>]*\brel="modulepreload")[^>]*>\s*/g, '')
    .replace(/<link\b(?=[^>]*\brel="stylesheet")[^>]*\bhref="([^"]+)"[^>]*>/g,
             (_, href) => `<style>\n${read(href)}</style>`)
    .replace(/<script\b(?=[^>]*\btype="module")[^>]*\bsrc="([^"]+)"[^>]*><\/script>/g, (_, src) => {
      entries.push('./' + src);
      return entries.length === 1 ? '<!-- the page -->' : '';
    })
    .replace(/<script\b[^>]*\bsrc="([^"]+)"[^>]*><\/script>\s*/g,
             (_, src) => (SERVED_ONLY.has(src) ? '' : `<script>\n${scriptSafe(read(src).toString('utf8'))}</script>\n`));
  const page = await bundle(dist, entries, [], 'esm');
  html = html.replace('<!-- the page -->', () => `<script type="module">\n${scriptSafe(page)}</script>`);
  const boot = fs.readFileSync(fileURLToPath(new URL('single-boot.js', import.meta.url)), 'utf8');
  const script = `<script>\n${scriptSafe(boot)}\nbootSingleFile(${jsonSafe({workers, wasm, pages})});\n</script>\n`;
  html = html.replace(/<meta charset="utf-8">\n?/, (meta) => meta + script);
  if (!html.includes('bootSingleFile(')) throw new Error('index.html has no <meta charset="utf-8">');
  return html;
}

if (import.meta.url === `file://${process.argv[1]}`) {
  const [dist, out] = process.argv.slice(2);
  fs.writeFileSync(out, await pack(dist));
  await esbuild.stop();
}
