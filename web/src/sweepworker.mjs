// Runs the runs of a sweep that the page hands it, one at a time, and posts
// back each run's status and its line of the table: the page keeps several
// of these busy at once.
import {run, provide} from './suite.mjs';
import {tableRow} from './sweep.mjs';

// The end of a stream as it comes: no more than the last statistics block
// (or the last line) once the text grows long, which is all a row needs.
function tail(mark) {
  const keep = {text: ''};
  keep.add = (piece) => {
    keep.text += piece;
    if (keep.text.length < 1 << 20) return;
    const cut = keep.text.lastIndexOf(mark, keep.text.length - 2);
    if (cut >= 0) keep.text = keep.text.slice(cut + 1);
  };
  return keep;
}

onmessage = async ({data: {program, index, point, module}}) => {
  if (module) provide(program, module);
  const mark = program === 'tacticpool' ? '\n' : '\n---\n';
  const out = tail(mark), err = tail(mark);
  try {
    const {status} = await run(program, point.args, {collect: false, onStdout: out.add, onStderr: err.add});
    const output = {stdout: out.text, stderr: err.text};
    postMessage({index, status, row: status === 0 ? tableRow(program, point, output) : null,
                 error: status === 0 ? '' : err.text.split('\n').slice(0, 4).join('\n')});
  } catch (e) {
    postMessage({index, status: null, row: null, error: String(e?.message ?? e)});
  }
};
