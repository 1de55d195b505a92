// Runs programs away from the page: one message starts a list of runs of one
// program (a single run, or one per value of a sweep), whose output is posted
// back piece by piece as it comes. The page stops a run by ending the worker.
import {run} from './suite.mjs';

onmessage = async ({data: {id, program, runs, files}}) => {
  try {
    for (const [index, args] of runs.entries()) {
      const {status} = await run(program, args, {
        files,
        collect: false,
        onStdout: (text) => postMessage({id, type: 'stdout', index, text}),
        onStderr: (text) => postMessage({id, type: 'stderr', index, text}),
      });
      postMessage({id, type: 'end', index, status});
      if (status !== 0) break; // a sweep stops at its first failed run
    }
    postMessage({id, type: 'done'});
  } catch (e) {
    postMessage({id, type: 'crash', message: String(e && e.message || e)});
  }
};
