// The page's teaching texts: "About this model" with the model's formula,
// a few plain sentences and its manual page, and the list of experiments,
// each a link that runs it.
import {ABOUT, manualPage} from './about.mjs';
import {EXPERIMENTS, experimentLink} from './experiments.mjs';

const $ = (id) => document.getElementById(id);

export function showAbout(program) {
  const about = ABOUT[program];
  $('about-formula').textContent = about?.formula ?? '';
  $('about-text').textContent = about?.text ?? '';
  const link = $('about-man');
  link.href = manualPage(program);
  link.textContent = `The manual page of ${program}`;
}

export function listExperiments(element) {
  const list = document.createElement('ol');
  const links = EXPERIMENTS.map((e) => {
    const item = document.createElement('li');
    item.dataset.experiment = e.id;
    const link = Object.assign(document.createElement('a'), {href: experimentLink(e), textContent: e.question});
    const finding = Object.assign(document.createElement('p'), {textContent: e.finding});
    const line = Object.assign(document.createElement('code'), {textContent: e.line});
    item.append(link, ' ', line, finding);
    list.append(item);
    return [e.line, link];
  });
  element.append(list);
  // The experiment whose command line the page runs is marked, so that it
  // stands out and a print of the run carries its finding.
  const mark = () => {
    const shown = commandOfAddress();
    for (const [line, link] of links) {
      if (line === shown) link.setAttribute('aria-current', 'true');
      else link.removeAttribute('aria-current');
    }
  };
  addEventListener('hashchange', mark);
  mark();
}

function commandOfAddress() {
  try {
    return decodeURIComponent(location.hash.slice(1));
  } catch {
    return null; // not an escape: no experiment's
  }
}
