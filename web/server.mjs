// A small static file server for the page, on 127.0.0.1 only:
// node server.mjs ROOT PORT, or serve(ROOT) from a test (port 0: any free).
import http from 'node:http';
import fs from 'node:fs';
import path from 'node:path';

const TYPES = {'.html': 'text/html', '.mjs': 'text/javascript', '.js': 'text/javascript',
               '.css': 'text/css', '.wasm': 'application/wasm', '.png': 'image/png'};

export function serve(folder, port = 0) {
  const root = path.resolve(folder);
  const server = http.createServer((request, response) => {
    let name;
    try {
      name = decodeURIComponent(new URL(request.url, 'http://127.0.0.1').pathname);
    } catch {
      response.writeHead(400).end('bad request');
      return;
    }
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
  const [root, port] = process.argv.slice(2);
  const server = await serve(root, Number(port));
  console.log(`serving ${root} on http://127.0.0.1:${server.address().port}/ (Ctrl-C stops)`);
}
