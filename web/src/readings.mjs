// The reader's half of the view registry: each view of views.mjs with its
// reading. Loaded in the reader worker only; nothing here draws.
import {viewsFor} from './views.mjs';
import {CURVES} from './curves.mjs';
import {STORIES} from './stories.mjs';
import {SWEEP} from './sweepread.mjs';

export {describeRun, streamOf} from './views.mjs';

const READINGS = {...CURVES, ...STORIES, ...SWEEP};

export const views = (run) => viewsFor(run).map((v) => ({...v, reading: READINGS[v.name]}));
