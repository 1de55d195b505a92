#!/usr/bin/env node
// Runs one program of web/dist under Node as the native one runs:
//   node web/cli.mjs PROGRAM [ARGS...]
// Output goes to standard output and standard error as it comes; the exit
// status is the program's. A file named by an argument is read from the
// working directory; data/hop1.dat is built in, as in the page.
import fs from 'node:fs';
import {run} from './dist/suite.mjs';

const [program, ...args] = process.argv.slice(2);
if (!program) {
  console.error('usage: node web/cli.mjs PROGRAM [ARGS...]');
  process.exit(2);
}
// Every file named after an option, so that -specs reads what native would.
const files = {};
for (const word of args) {
  if (fs.existsSync(word) && fs.statSync(word).isFile()) files[word] = fs.readFileSync(word);
}
const write = (fd) => (text) => fs.writeSync(fd, text);
const {status} = await run(program, args, {files, collect: false, onStdout: write(1), onStderr: write(2)});
process.exitCode = status ?? 1;
