// The footer names the suite's version, so that a figure or a run taken from
// the page can be matched to the programs that made it.
import {VERSION} from './version.mjs';

const line = Object.assign(document.createElement('p'), {id: 'version', textContent: `Version ${VERSION} of the suite.`});
document.querySelector('footer').append(line);
