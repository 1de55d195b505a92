// What the page needs of a frame it is put in, said at once. A classic
// script, because a frame whose sandbox lacks allow-same-origin gives the
// page an opaque origin, and the browser then refuses its modules (and its
// workers and storage): without this the frame would stay blank.
if (new URLSearchParams(location.search).has('embed')) document.documentElement.classList.add('embed');
if (self.origin === 'null' && location.protocol !== 'file:') {
  document.documentElement.classList.add('cannot-run'); // no control that would do nothing
  addEventListener('DOMContentLoaded', () => {
    document.getElementById('alert').hidden = false; // shown first, so that readers announce its text
    document.getElementById('alert-text').textContent = 'The models cannot run in this frame: its sandbox ' +
      'lacks allow-same-origin, and without it the browser refuses the page its modules, workers and storage. ' +
      'The frame needs sandbox="allow-scripts allow-same-origin" (and allow-downloads for the downloads).';
  });
}
