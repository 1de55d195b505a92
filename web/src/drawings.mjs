// The page's half of the view registry: each view of views.mjs with its
// drawing. Loaded in the page only; nothing here reads a program's output.
import {viewsFor} from './views.mjs';
import {CURVE_DRAWINGS} from './curvedraw.mjs';
import {STORY_DRAWINGS} from './storydraw.mjs';
import {SWEEP_DRAWING} from './sweepdraw.mjs';

const DRAWINGS = {...CURVE_DRAWINGS, ...STORY_DRAWINGS, ...SWEEP_DRAWING};

export const views = (run) => viewsFor(run).map((v) => ({...v, drawing: DRAWINGS[v.name]}));
