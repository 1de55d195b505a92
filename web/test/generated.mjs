// Node's tests import the page's modules from web/src, where the modules
// that web/build.sh generates into dist do not exist. These hooks make each
// one from its source, as web/build.sh does.
//   node --import ./web/test/generated.mjs --test ...
import {register} from 'node:module';
import {readFileSync} from 'node:fs';

const top = new URL('../../', import.meta.url);
const GENERATED = {
  'sweepprograms.mjs': () => 'export default ' +
    JSON.stringify(readFileSync(new URL('sweep/programs.tsv', top), 'utf8')) + ';\n',
  'version.mjs': () => 'export const VERSION = ' +
    JSON.stringify(readFileSync(new URL('VERSION', top), 'utf8').trim()) + ';\n',
};

const SOURCES = new URL('web/src/', top).href;

export async function resolve(specifier, context, next) {
  const url = context.parentURL && /^\.\.?\//.test(specifier) ? new URL(specifier, context.parentURL).href : '';
  const name = url.startsWith(SOURCES) ? url.slice(SOURCES.length) : '';
  if (name in GENERATED) {
    return {url: `data:text/javascript,${encodeURIComponent(GENERATED[name]())}`, shortCircuit: true};
  }
  return next(specifier, context);
}

if (!globalThis.generatedHooks) {
  globalThis.generatedHooks = true;
  register(import.meta.url);
}
