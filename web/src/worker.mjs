// Runs programs away from the page and handles their output here, so that
// the page's thread only draws. Messages from the page:
//   {type: 'help', id, program}: replies {type: 'help', id, program, text,
//     module}: the help screen, and the compiled module to hand to the next
//     worker (the page ends a worker to stop a run)
//   {type: 'run', id, command, values, words, screen, modules}: runs the
//     program once, or once per value of r of a sweep, as views.mjs's
//     `run` describes. It replies with {type: 'data' | 'end', id, ...}
//     at most every 100 ms while output comes, and once at the end:
//       chunks: {stdout, stderr}  the bytes since the last message, as
//                                 Blobs (null if none): all of them, in order
//       head: {stdout, stderr}    the first part of each stream as text,
//                                 where it grew
//       views: [data, ...]        each serving record's snapshot
//       ended: runs ended; status (with 'end'): the last run's exit status
//   or {type: 'crash', id, message} if the run could not go on.
import {run, load, provide} from './suite.mjs';
import {viewsFor, streamOf, describeRun} from './views.mjs';

const SHOWN = 50000; // characters of each stream the page shows
const EVERY = 100; // milliseconds between messages while output comes

function newStream() {
  return {decoder: new TextDecoder(), parts: [], head: '', grew: false};
}

async function help({id, program}) {
  const {stderr} = await run(program, ['-help']);
  const [, module] = await load(program);
  postMessage({type: 'help', id, program, text: stderr, module});
}

async function runAll({id, command, values, words, screen, modules, files}) {
  for (const [program, module] of Object.entries(modules ?? {})) provide(program, module);
  const described = describeRun(command, {values, words, screen});
  const views = viewsFor(described).map((record) => ({
    record, state: record.start(described), stream: streamOf(record, described),
  }));
  const streams = {stdout: newStream(), stderr: newStream()};
  const runs = words ? words.map((r) => [...command.args, '-r', r]) : [command.args];
  let ended = 0, status = null, posted = performance.now();

  const send = (type) => {
    const message = {type, id, ended, status, chunks: {}, head: {}};
    for (const [name, s] of Object.entries(streams)) {
      message.chunks[name] = s.parts.length ? new Blob(s.parts) : null;
      s.parts = [];
      if (s.grew) message.head[name] = s.head;
      s.grew = false;
    }
    message.views = views.map((v) => v.record.snapshot(v.state));
    postMessage(message);
    posted = performance.now();
  };
  const take = (name, index) => (bytes) => {
    const s = streams[name];
    s.parts.push(bytes.slice()); // the program's memory is reused
    const text = s.decoder.decode(bytes, {stream: true});
    if (s.head.length < SHOWN && text) {
      s.head += text.slice(0, SHOWN - s.head.length);
      s.grew = true;
    }
    for (const v of views) if (v.stream === name && text) v.record.text(v.state, text, index);
    if (performance.now() - posted >= EVERY) send('data');
  };

  for (const [index, args] of runs.entries()) {
    ({status} = await run(command.program, args, {
      files, collect: false, bytes: true, onStdout: take('stdout', index), onStderr: take('stderr', index),
    }));
    for (const v of views) v.record.end?.(v.state, index, status);
    ended = index + 1;
    if (status !== 0) break; // a sweep stops at its first failed run
  }
  send('end');
}

onmessage = async ({data}) => {
  try {
    await (data.type === 'help' ? help(data) : runAll(data));
  } catch (e) {
    postMessage({type: 'crash', id: data.id, message: String(e && e.message || e)});
  }
};
