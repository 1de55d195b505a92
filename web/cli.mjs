#!/usr/bin/env node
// Runs one program of web/dist (or of the built page in DIST_DIR) under
// Node as the native one runs:
//   node web/cli.mjs PROGRAM [ARGS...]
// Output goes to standard output and standard error as it comes; the exit
// status is the program's. The program sees the working directory's files
// and folders as the native one does: those named by an argument, and
// data/hop1.dat, which jobmatch reads when no -specs is given (the built-in
// copy, as in the page, where the working directory has none).
import fs from 'node:fs';
import path from 'node:path';
import {pathToFileURL} from 'node:url';

const dist = process.env.DIST_DIR ? path.resolve(process.env.DIST_DIR) :
  new URL('dist', import.meta.url).pathname;
const {run} = await import(pathToFileURL(path.join(dist, 'suite.mjs')).href);

const [program, ...args] = process.argv.slice(2);
if (!program) {
  console.error('usage: node web/cli.mjs PROGRAM [ARGS...]');
  process.exit(2);
}
// A file as its bytes, a folder as a name ending in "/", so that reading it
// fails as it does natively.
const files = {};
for (const word of [...args, 'data/hop1.dat']) {
  const found = fs.statSync(word, {throwIfNoEntry: false});
  if (found?.isFile()) files[word] = fs.readFileSync(word);
  else if (found?.isDirectory()) files[word.endsWith('/') ? word : `${word}/`] = '';
}
const write = (fd) => (text) => fs.writeSync(fd, text);
const {status} = await run(program, args, {files, collect: false, onStdout: write(1), onStderr: write(2)});
process.exitCode = status ?? 1;
