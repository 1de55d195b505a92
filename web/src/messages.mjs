// Every message between the page and its workers. Runners (a pool of
// them) run programs; one reader reads what they write and keeps what the
// views show. The receivers switch on `type` and ignore anything else.
//
// page -> runner
//   HELP  {program}: run `program -help`; replies HELPED
//   RUN   {job: {index, program, args}, port, modules}: run one program
//         and send its bytes through `port` (to the reader) as they come,
//         then ENDED there; replies RAN. modules: {program: compiled
//         WebAssembly.Module} that spare this worker compiling them.
//   HASH  {blobs}: the SHA-256 of the bytes of `blobs`, one after another;
//         replies HASHED
// runner -> page
//   HASHED {sha256}: 64 hexadecimal digits
//   HELPED {program, text, module}: the help screen (standard error) and
//         the compiled module for the next runners
//   RAN   {index, status, error}: the run ended (status null: it could not
//         end; error says why)
// runner -> reader, through a job's port (and page -> reader for a runner
// that died)
//   BYTES {pieces: [[stream, index, Uint8Array]]}: output as it came, in
//         order (handover.mjs)
//   ENDED {index, status, error}: the last piece of that run has come
// page -> reader
//   READ  {id, command, values, words, sweep, screen}: read a run (a single
//         program, a bifurcation loop over `words`, or a sweep grid); its
//         jobs' ports follow as SOURCE
//   SOURCE {id, index, port}: the port job `index` writes to
//   ENDED {id, index, status, error}: as above, for a runner that died
// reader -> page, at most every TIMING.message ms while output comes, and
// once at the end
//   DATA | END {id, ended, status, chunks: {stdout, stderr} (Blobs since the
//         last message, or null), head: {stdout, stderr} (the first part of
//         each stream as text, where it grew), views: [snapshot, ...]}
//   CRASH {id, message}: the reading could not go on
// page <-> exporter (exportwork.mjs), once a run has ended
//   EXPORT {id, kind: 'tsv' or 'record', about, chunks: {stdout, stderr}
//         (the run's Blobs), meta}: make the run's table or record
//         (exports.mjs says what about and meta hold)
//   EXPORTED {id, blob, error}: the file made, or why not
//
// A WebAssembly program cannot read a message while it runs: a run is
// stopped by ending the workers that run and read it.

export const MSG = Object.freeze({
  HELP: 'help', RUN: 'run', HELPED: 'helped', RAN: 'ran', BYTES: 'bytes', ENDED: 'ended',
  HASH: 'hash', HASHED: 'hashed', READ: 'read', SOURCE: 'source', DATA: 'data', END: 'end', CRASH: 'crash',
  EXPORT: 'export', EXPORTED: 'exported',
});

// Characters of each stream's head, the part of the output the page shows:
// more slows its layout.
export const SHOWN = 20000;

// The message an exception becomes.
export const errorText = (e) => String(e?.message ?? e);
