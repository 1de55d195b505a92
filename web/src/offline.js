// Where the page can run. Opened from disk it cannot: a browser does not let
// a page from a file load its modules, workers and WebAssembly, so it says
// so and points to the single file that carries them all. Served, it keeps
// a copy of itself for offline use (sw.js).
if (location.protocol === 'file:') {
  addEventListener('DOMContentLoaded', () => {
    const link = Object.assign(document.createElement('a'), {href: 'modelsuite.html', textContent: 'modelsuite.html'});
    document.getElementById('alert').hidden = false; // shown first, so that readers announce its text
    document.getElementById('alert-text').append('This page cannot run opened from a file: a browser does not ' +
      'let it load its programs and workers from the disk. Open ', link, ' beside it instead, the whole ' +
      'suite in one file that runs from the disk, or serve this folder (web/serve.sh).');
  });
} else {
  // Once the page has loaded, so as not to slow its first run.
  addEventListener('load', () => {
    try {
      navigator.serviceWorker?.register('sw.js').catch(() => {});
    } catch {
      // A sandboxed frame may not use service workers; the page runs without.
    }
  });
}
