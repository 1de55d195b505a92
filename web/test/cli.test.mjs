// node web/cli.mjs against the native program, in a working directory of
// its own: jobmatch reads that directory's data/hop1.dat, and a folder given
// as -specs is refused as a problem file, not as one that cannot be opened.
// BIN_DIR names the folder of the native programs, DIST_DIR the built page.
import {test} from 'node:test';
import assert from 'node:assert/strict';
import {spawnSync} from 'node:child_process';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import {fileURLToPath} from 'node:url';

const bin = process.env.BIN_DIR;
const cli = fileURLToPath(new URL('../cli.mjs', import.meta.url));

test('cli.mjs reads the files and folders the native program reads', () => {
  const dir = fs.mkdtempSync(path.join(os.tmpdir(), 'cli-test-'));
  try {
    fs.mkdirSync(path.join(dir, 'data'));
    fs.writeFileSync(path.join(dir, 'data/hop1.dat'), '2\n1 0\n0 7\n');
    fs.mkdirSync(path.join(dir, 'folder'));
    for (const args of [['-gens', '2'], ['-specs', 'folder'], ['-specs', 'folder/'],
      ['-specs', 'missing.dat']]) {
      const options = {cwd: dir, encoding: 'utf8'};
      const want = spawnSync(path.join(bin, 'jobmatch'), args, {...options, argv0: 'jobmatch'});
      const got = spawnSync(process.execPath, [cli, 'jobmatch', ...args], options);
      for (const key of ['status', 'stdout', 'stderr']) {
        assert.equal(got[key], want[key], `jobmatch ${args.join(' ')}: ${key}`);
      }
    }
  } finally {
    fs.rmSync(dir, {recursive: true, force: true});
  }
});
