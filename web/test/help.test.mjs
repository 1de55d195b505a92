// The page reads each program's help screen as the shell scripts do: every
// option's name, kind, default and help text from parseHelp match the fields
// of scripts/help_screen.sh's help_entries. BIN_DIR names the folder of the
// native programs.
import {test} from 'node:test';
import assert from 'node:assert/strict';
import {spawnSync} from 'node:child_process';
import path from 'node:path';
import {fileURLToPath} from 'node:url';
import {parseHelp} from '../src/help.mjs';

const bin = process.env.BIN_DIR;
const top = fileURLToPath(new URL('../..', import.meta.url));
const PROGRAMS = ['peakseek', 'hillscan', 'jobmatch', 'tacticbreed', 'tacticpool',
  'mapseries', 'orbitpin'];

test('help.mjs and help_entries read every help screen alike', () => {
  for (const program of PROGRAMS) {
    const exe = path.join(bin, program);
    const screen = spawnSync(exe, ['-help'], {encoding: 'utf8'}).stderr;
    const page = parseHelp(screen).options.map((o) => [o.name, o.kind, o.value, o.help]);
    const r = spawnSync('bash', ['-c', '. scripts/help_screen.sh && help_entries "$0"', exe],
      {cwd: top, encoding: 'utf8'});
    assert.equal(r.status, 0, r.stderr);
    const shell = r.stdout.split('\n').filter(Boolean).map((line) => line.split('\t'));
    assert.ok(shell.length > 0, `${program}: no options`);
    assert.deepEqual(page, shell, program);
  }
});
