// The record of a sweep run in the page, as sweep/run.sh writes it beside
// table.txt (record.mjs). The programs run in the page: a run's command
// names the program without a folder and its host is "browser". A stopped
// sweep's record covers the runs that ended, as its table does, and says
// the sweep did not complete. Pure: the caller gives the checksums.
//
// sweepRecord({line, sweep, results, version, table: {size, sha256}})
//   -> the fields of crateJson, or null while no run has ended
import {splitWords} from './command.mjs';
import {sweepRuns} from './sweep.mjs';

// A word of the sweep's command line, quoted as sweep/run.sh quotes it.
const shellWord = (w) => (/^[-A-Za-z0-9_./:=,+@%]+$/.test(w) ? w : `'${w.replace(/'/g, "'\\''")}'`);

// The sweep's command line as given, --resume left out: the resumed sweep
// is the same sweep.
function sweepCommand(line) {
  const given = splitWords(line).slice(1).filter((w) => w !== '--resume');
  return ['sweep/run.sh', ...given.map(shellWord)].join(' ');
}

export function sweepRecord({line, sweep, results, version, table}) {
  const points = sweepRuns(sweep);
  const program = `${sweep.program}${sweep.argsText ? ` ${sweep.argsText}` : ''} ${sweep.option}`;
  const runs = results.flatMap((r, i) => (r ? [{
    seq: i + 1, command: `${program} ${points[i].value} -seed ${points[i].seed}`, status: r.status,
    host: 'browser', startTime: r.startTime, endTime: r.endTime, stdoutSha256: r.stdoutSha256,
    stderrSha256: r.stderrSha256, seed: points[i].seed,
  }] : []));
  if (!runs.length) return null;
  const notRun = results.length - runs.length;
  return {
    program: sweep.program, option: sweep.option, values: sweep.values, seeds: sweep.seeds,
    command: sweepCommand(line), software: {version, commit: ''},
    startTime: runs.map((r) => r.startTime).sort()[0], endTime: runs.map((r) => r.endTime).sort().at(-1),
    workingDirectory: '', runs,
    files: [{name: 'table.txt', format: 'text/tab-separated-values', ...table}],
    unfinished: notRun ? `${notRun} of ${results.length} runs did not run` : '',
  };
}
