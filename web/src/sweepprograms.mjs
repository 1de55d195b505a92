// sweep/programs.tsv as text, read where it lies: this is the source tree's
// module, for node. web/build.sh writes the page's own, which holds the
// text, over it.
import {readFileSync} from 'node:fs';

export default readFileSync(new URL('../../sweep/programs.tsv', import.meta.url), 'utf8');
