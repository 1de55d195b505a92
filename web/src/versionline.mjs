// The footer names the suite's version, so that a figure or a run taken from
// the page can be matched to the programs that made it; served, it also
// offers the page as one file, which runs from disk.
import {VERSION} from './version.mjs';

const line = Object.assign(document.createElement('p'), {id: 'version', textContent: `Version ${VERSION} of the suite.`});
if (location.protocol !== 'file:') {
  const single = Object.assign(document.createElement('a'), {href: 'modelsuite.html', textContent: 'modelsuite.html'});
  single.download = 'modelsuite.html';
  line.append(' The whole page in one file, to run without a server: ', single, '.');
}
document.querySelector('footer').append(line);
