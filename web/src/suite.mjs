// Runs the suite's programs, compiled to WebAssembly, in Node or a Web Worker.
//
// run(program, args, options) -> Promise<{stdout, stderr, status}>
//   program  one of PROGRAMS; it is also argv[0], so messages read as native
//   args     the words after the program name
//   options  files: {name: text or bytes}, added to the default files; a
//              name ending in "/" makes a folder of that name instead
//            onStdout, onStderr: called with each piece of text as it comes
//            bytes: true hands the callbacks the bytes instead (a view into
//              the program's memory, valid only during the call)
//            collect: false leaves the result's stdout and stderr empty, for
//              output that only the callbacks need
import defaultFiles from './files.mjs';
import {wasmBytes} from './wasmbytes.mjs';

export const PROGRAMS = ['peakseek', 'hillscan', 'jobmatch', 'tacticbreed',
                         'tacticpool', 'mapseries', 'orbitpin'];

const compiled = new Map(); // program -> Promise<[factory, WebAssembly.Module]>
const given = new Map(); // program -> WebAssembly.Module compiled elsewhere

// A module compiled in another worker, so that this one need not compile it.
export function provide(program, module) {
  if (!compiled.has(program)) given.set(program, module);
}

// The glue and the compiled module of a program, made once and shared by
// every run; each run instantiates it afresh.
export function load(program) {
  if (!PROGRAMS.includes(program)) throw new Error(`unknown program "${program}"`);
  if (!compiled.has(program)) {
    const base = new URL(`programs/${program}`, import.meta.url);
    const module = given.get(program) ??
      wasmBytes(new URL(`${base}.wasm`)).then((b) => WebAssembly.compile(b));
    const loading = Promise.all([import(`${base}.mjs`).then((m) => m.default), module]);
    loading.catch(() => compiled.delete(program)); // the next run tries again
    compiled.set(program, loading);
  }
  return compiled.get(program);
}

// A character device whose writes arrive whole: a report leaves the module
// one output block at a time, never a character at a time through print.
function sink(FS, major, onBytes) {
  FS.registerDevice(FS.makedev(major, 0), {
    open() {},
    close() {},
    fsync() {},
    read() { return 0; },
    write(stream, buffer, offset, length) {
      onBytes(buffer.subarray(offset, offset + length));
      return length;
    },
  });
}

function addFiles(FS, files) {
  for (const [name, content] of Object.entries(files)) {
    const slash = name.lastIndexOf('/');
    if (slash > 0) FS.mkdirTree(name.slice(0, slash));
    if (slash < name.length - 1) FS.writeFile(name, content);
  }
}

// Collects one stream's bytes (copied: the heap they lie in is reused) and
// hands its text on as it comes; the whole text is decoded once, at the end.
function collector(onText, keep, raw) {
  const decoder = new TextDecoder();
  const chunks = [];
  return {
    add(bytes) {
      if (keep) chunks.push(bytes.slice());
      if (!onText) return;
      if (raw) return onText(bytes);
      const text = decoder.decode(bytes, {stream: true});
      if (text) onText(text);
    },
    text() {
      const rest = onText && !raw ? decoder.decode() : '';
      if (rest) onText(rest);
      const all = new Uint8Array(chunks.reduce((n, c) => n + c.length, 0));
      let at = 0;
      for (const c of chunks) { all.set(c, at); at += c.length; }
      return new TextDecoder().decode(all);
    },
  };
}

export async function run(program, args = [], options = {}) {
  const [factory, module] = await load(program);
  const keep = options.collect !== false;
  const out = collector(options.onStdout, keep, options.bytes);
  const err = collector(options.onStderr, keep, options.bytes);
  let status = null;
  let crash = null;
  let ended;
  const end = new Promise((resolve) => { ended = resolve; });
  factory({
    arguments: args.map(String),
    thisProgram: program,
    // Devices 5 and 6 are the terminals behind /dev/stdout and /dev/stderr.
    preRun: [(M) => {
      sink(M.FS, 5, (b) => out.add(b));
      sink(M.FS, 6, (b) => err.add(b));
      addFiles(M.FS, {...defaultFiles, ...options.files});
    }],
    print: (line) => out.add(new TextEncoder().encode(line + '\n')),
    printErr: (line) => err.add(new TextEncoder().encode(line + '\n')),
    onExit: (code) => { status = code; },
    quit: (code, thrown) => { throw thrown; },
    // The whole run happens inside receive: main starts as soon as the
    // instance is there and returns (or exits) before receive does.
    instantiateWasm(imports, receive) {
      WebAssembly.instantiate(module, imports).then((instance) => {
        try {
          receive(instance, module);
        } catch (e) {
          crash = e;
        }
      }, (e) => { crash = e; }).finally(ended);
      return {};
    },
  }).catch((e) => { crash = crash ?? e; });
  await end;
  if (crash && status === null) throw crash;
  return {stdout: out.text(), stderr: err.text(), status};
}
