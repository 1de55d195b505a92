// A small static file server for the page, on 127.0.0.1 only.
// node server.mjs ROOT PORT [SECONDS]: with SECONDS, it stops by itself.
import http from 'node:http';
import fs from 'node:fs';
import path from 'node:path';

const TYPES = {'.html': 'text/html', '.mjs': 'text/javascript', '.js': 'text/javascript',
               '.css': 'text/css', '.wasm': 'application/wasm', '.png': 'image/png'};

export function serve(root, port = 0) {
  const server = http.createServer((request, response) => {
    const url = new URL(request.url, 'http://127.0.0.1');
    const name = decodeURIComponent(url.pathname);
    const target = path.resolve(root, '.' + (name.endsWith('/') ? name + 'index.html' : name));
    if (!target.startsWith(root + path.sep) || !fs.existsSync(target) || fs.statSync(target).isDirectory()) {
      response.writeHead(404).end('not found');
      return;
    }
    response.writeHead(200, {'content-type': TYPES[path.extname(target)] ?? 'application/octet-stream',
                             'cache-control': 'no-cache'});
    fs.createReadStream(target).pipe(response);
  });
  return new Promise((resolve) => server.listen(port, '127.0.0.1', () => resolve(server)));
}

if (import.meta.url === `file://${process.argv[1]}`) {
  const [root, port, seconds] = process.argv.slice(2);
  const server = await serve(path.resolve(root), Number(port));
  console.log(`serving ${root} on http://127.0.0.1:${server.address().port}/`);
  if (seconds) setTimeout(() => server.close(() => process.exit(0)), Number(seconds) * 1000).unref();
}
