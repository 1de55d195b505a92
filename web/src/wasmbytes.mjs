// The bytes of a WebAssembly file beside the page's modules: read from disk
// under Node, fetched in a browser.
export async function wasmBytes(url) {
  if (url.protocol === 'file:') {
    const fs = await import('node:fs/promises');
    return fs.readFile(url);
  }
  const response = await fetch(url);
  if (!response.ok) throw new Error(`cannot load ${url}: ${response.status}`);
  return response.arrayBuffer();
}
