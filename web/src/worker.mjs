// Runs programs away from the page and handles their output there, so that
// the page's thread only draws. One file, three roles, by message:
//
//   {type: 'help', id, program}: replies {type: 'help', id, program, text,
//     module}: the help screen, and the compiled module to hand to the next
//     worker (the page ends the workers of a run to stop it)
//   {type: 'run', port, command, words, modules}: the runner. Runs the
//     program once, or once per value of r of a sweep (words), and sends its
//     bytes through `port` as they come, in order, with each run's end.
//   {type: 'read', port, id, command, values, words, screen}: the reader.
//     Takes what the runner sends, keeps the bytes, feeds the records of
//     views.mjs that serve the run, and replies to the page at most every
//     100 ms while output comes, and once at the end, with {type: 'data' |
//     'end', id, ...}:
//       chunks: {stdout, stderr}  the bytes since the last message, as
//                                 Blobs (null if none): all of them, in order
//       head: {stdout, stderr}    the first part of each stream as text,
//                                 where it grew
//       views: [data, ...]        each serving record's snapshot
//       ended: runs ended; status: the last run's exit status
//     or {type: 'crash', id, message} if the run could not go on.
// Running and reading in two workers lets a long output be read while the
// program goes on writing it.
import {run, load, provide} from './suite.mjs';
import {newBatcher, take as hand, flush, eachPiece, eachPart} from './handover.mjs';

// Only a reader needs the records: loaded beside the rest, not before it,
// so that a runner is ready sooner.
const records = import('./views.mjs');

const SHOWN = 20000; // characters of each stream the page shows: more slows its layout
const EVERY = 100; // milliseconds between messages to the page

async function help({id, program}) {
  const {stderr} = await run(program, ['-help']);
  const [, module] = await load(program);
  postMessage({type: 'help', id, program, text: stderr, module});
}

async function runner({port, command, words, modules}) {
  for (const [program, module] of Object.entries(modules ?? {})) provide(program, module);
  const runs = words ? words.map((r) => [...command.args, '-r', r]) : [command.args];
  const batcher = newBatcher((message, transfer) => port.postMessage(message, transfer));
  const take = (name, index) => (bytes) => hand(batcher, name, index, bytes);
  try {
    for (const [index, args] of runs.entries()) {
      const {status} = await run(command.program, args, {
        collect: false, bytes: true, onStdout: take('stdout', index), onStderr: take('stderr', index),
      });
      flush(batcher);
      port.postMessage({type: 'ended', index, status});
      if (status !== 0) break; // a sweep stops at its first failed run
    }
    port.postMessage({type: 'done'});
  } catch (e) {
    flush(batcher); // what the program wrote before it failed
    port.postMessage({type: 'crash', message: String(e && e.message || e)});
  }
}

async function reader({port, id, command, values, words, screen}) {
  const {viewsFor, streamOf, describeRun} = await records;
  const described = describeRun(command, {values, words, screen});
  const views = viewsFor(described).map((record) => ({
    record, state: record.start(described), stream: streamOf(record, described),
  }));
  const streams = {};
  for (const name of ['stdout', 'stderr']) {
    // Text is made only while the page's part of the stream is not full, or
    // for a record that reads text.
    const texts = views.filter((v) => v.stream === name && !v.record.bytes);
    const bytes = views.filter((v) => v.stream === name && v.record.bytes);
    streams[name] = {decoder: new TextDecoder(), parts: [], head: '', grew: false, texts, bytes};
  }
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
  const take = (name, index, bytes) => {
    const s = streams[name];
    if (s.head.length < SHOWN || s.texts.length) {
      const text = s.decoder.decode(bytes, {stream: true});
      if (s.head.length < SHOWN && text) {
        s.head += text.slice(0, SHOWN - s.head.length);
        s.grew = true;
      }
      if (text) for (const v of s.texts) v.record.text(v.state, text, index);
    }
    for (const v of s.bytes) v.record.bytes(v.state, bytes, index);
  };

  port.onmessage = ({data}) => {
    try {
      switch (data.type) {
      case 'bytes':
        eachPart(data, (name, part) => streams[name].parts.push(part));
        eachPiece(data, take);
        if (performance.now() - posted >= EVERY) send('data');
        break;
      case 'ended':
        for (const v of views) v.record.end?.(v.state, data.index, data.status);
        ended = data.index + 1;
        status = data.status;
        break;
      case 'done':
        send('end');
        break;
      case 'crash':
        send('data');
        postMessage({type: 'crash', id, message: data.message});
      }
    } catch (e) {
      postMessage({type: 'crash', id, message: String(e && e.message || e)});
      port.close();
    }
  };
}

const roles = {help, run: runner, read: reader};

onmessage = async ({data}) => {
  try {
    await roles[data.type](data);
  } catch (e) {
    postMessage({type: 'crash', id: data.id, message: String(e && e.message || e)});
  }
};
