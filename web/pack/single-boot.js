// The loader at the head of the single file. A browser lets a page opened
// from disk start classic workers from Blob URLs and nothing else: no module
// workers, and no fetch or import of another Blob URL from inside a worker.
// So each worker is one script that carries its modules and the programs'
// WebAssembly, and Worker finds it by the address the served page would use
// (under BASE, which stands for import.meta.url in the packed code).
function bootSingleFile({workers, wasm, pages}) {
  const BASE = 'https://single-file.invalid/';
  const blobURL = (parts, type) => URL.createObjectURL(new Blob(parts, {type}));
  const head = `(${answerWasm})(${JSON.stringify(BASE)}, ${JSON.stringify(wasm)});\n`;
  const urls = {}; // path in the built folder -> Blob URL
  for (const [path, code] of Object.entries(workers)) urls[path] = blobURL([head, code], 'text/javascript');
  for (const [path, html] of Object.entries(pages)) urls[path] = blobURL([html], 'text/html');

  const find = (url) => {
    let href;
    try {
      href = new URL(String(url), BASE + 'index.html').href;
    } catch {
      return null;
    }
    return href.startsWith(BASE) ? urls[href.slice(BASE.length).replace(/[?#].*/, '')] ?? null : null;
  };
  const Real = Worker;
  window.Worker = class extends Real {
    constructor(url, options) {
      const script = find(url);
      super(script ?? url, script ? {...options, type: 'classic'} : options);
    }
  };
  // A link to a file of the page (a manual page) opens its copy.
  document.addEventListener('click', (e) => {
    const a = e.target.closest?.('a[href]');
    const target = a && find(a.getAttribute('href'));
    if (target) a.href = target;
  }, true);
}

// Run first in each worker: fetch answers a program's WebAssembly from the
// copy carried in the script.
function answerWasm(base, wasm) {
  const realFetch = fetch.bind(globalThis);
  const bytes = {};
  globalThis.fetch = (input, init) => {
    const href = String(input?.url ?? input);
    const path = href.startsWith(base) ? href.slice(base.length) : null;
    if (!wasm[path]) return realFetch(input, init);
    bytes[path] ??= Uint8Array.from(atob(wasm[path]), (c) => c.charCodeAt(0));
    return Promise.resolve(new Response(bytes[path], {headers: {'content-type': 'application/wasm'}}));
  };
}
