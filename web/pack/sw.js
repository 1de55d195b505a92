// The page's service worker: after a first visit the page, its programs, a
// sweep and the manual pages work with the server gone. Online, every file
// comes from the server, so the page is never older than the build served;
// the copy is only for when the server cannot be reached. The copy is made
// whole when this worker is installed, from the list of files above, and
// lives in a cache named after the build: a new build changes this file,
// the browser installs it at the next visit online, and the old copy goes.
const CACHE = `modelsuite-${BUILD}`;

addEventListener('install', (event) => {
  event.waitUntil(caches.open(CACHE)
    .then((cache) => cache.addAll(FILES.map((f) => new Request(f, {cache: 'reload'}))))
    .then(() => skipWaiting()));
});

addEventListener('activate', (event) => {
  event.waitUntil(caches.keys()
    .then((names) => Promise.all(names.filter((n) => n.startsWith('modelsuite-') && n !== CACHE)
      .map((n) => caches.delete(n))))
    .then(() => clients.claim()));
});

addEventListener('fetch', (event) => {
  const {request} = event;
  if (request.method !== 'GET' || new URL(request.url).origin !== location.origin) return;
  event.respondWith(fetch(request).catch(() => fromCopy(request)));
});

async function fromCopy(request) {
  const url = new URL(request.url);
  if (url.pathname.endsWith('/')) url.pathname += 'index.html';
  return await caches.match(url.href, {cacheName: CACHE, ignoreSearch: true}) ?? Response.error();
}
