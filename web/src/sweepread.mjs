// The reading half of the sweep view: each run of a sweep/run.sh grid read
// as it comes, its line of the table made when it ends (tableRow, as
// sweep/run.sh makes it), its outputs' checksums and times for the record.
// Runs come in any order, several at once; a result is kept by the run's
// index in the grid. As views.mjs describes.
import {SWEEP_PROGRAMS_DATA, sweepRuns, tableRow} from './sweep.mjs';
import {newSha256, addBytes, hexDigest} from './sha256.mjs';

const KEEP = 1 << 20; // characters of a stream past which only its last block is kept
const ERROR_LINES = 4; // lines of a failed run's error output kept for the report

// The end of a stream as it comes: no more than the last statistics block
// (or the last line) once the text grows long, which is all a row needs.
function addTail(tail, piece, mark) {
  tail.text += piece;
  if (tail.text.length < KEEP) return;
  const cut = tail.text.lastIndexOf(mark, tail.text.length - 2);
  if (cut >= 0) tail.text = tail.text.slice(cut + 1);
}

const newTail = () => ({text: '', decoder: new TextDecoder(), sha: newSha256()});
const newTails = () => ({stdout: newTail(), stderr: newTail()});

// A time as the sweep's record has it: UTC to the second.
const utcSecond = (ms) => new Date(ms).toISOString().replace(/\.\d+Z$/, 'Z');

export const SWEEP = {
  sweep: {
    start: (run) => ({runs: sweepRuns(run.sweep), program: run.program, open: new Map(),
                      mark: SWEEP_PROGRAMS_DATA[run.program].reads === 'line' ? '\n' : '\n---\n',
                      results: new Array(run.expected).fill(null), ended: 0}),
    bytes(state, bytes, index, stream) {
      if (!state.open.has(index)) state.open.set(index, newTails());
      const tail = state.open.get(index)[stream];
      addBytes(tail.sha, bytes);
      addTail(tail, tail.decoder.decode(bytes, {stream: true}), state.mark);
    },
    end(state, index, status, error = '', {started, finished} = {started: 0, finished: 0}) {
      const tails = state.open.get(index) ?? newTails();
      state.open.delete(index);
      const output = {stdout: tails.stdout.text, stderr: tails.stderr.text};
      const row = status === 0 ? tableRow(state.program, state.runs[index], output) : null;
      state.results[index] = {
        status, row, error: row !== null ? '' : (output.stderr || error).split('\n').slice(0, ERROR_LINES).join('\n'),
        startTime: utcSecond(started), endTime: utcSecond(finished),
        stdoutSha256: hexDigest(tails.stdout.sha), stderrSha256: hexDigest(tails.stderr.sha),
      };
      state.ended++;
    },
    snapshot: (state) => ({rows: state.ended, results: state.results}),
  },
};
