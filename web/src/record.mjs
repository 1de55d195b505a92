// The record of a sweep (or of a single run: one value, one seed) as
// sweep/run.sh writes it beside table.txt: ro-crate-metadata.json, an
// RO-Crate of the Process Run Crate profile, one entity per line, and
// SHA256SUMS as sha256sum prints it. Pure: the caller gives every field,
// checksums included.
//
// crateJson({program, option, values, seeds, command, software: {version,
//   commit}, startTime, endTime, workingDirectory, runs, files}) -> text
//   runs: [{seq, command, status, host, startTime, endTime, stdoutSha256,
//   stderrSha256, seed}], seq counting the grid from 1, value by value;
//   files: [{name, format, size, sha256}]. commit and workingDirectory may
//   be ''; unfinished, optional, why the sweep did not complete; name,
//   optional, the dataset's name for what is not a sweep (a single run);
//   seedValues, optional, the value of each seed where it is not its number
//   (a single run's own -seed, or 'none'). A run's
//   status is null when it ended without one. Beyond the profile, a run has host, exitStatus and its outputs'
//   checksums (stdoutSha256, stderrSha256), the suite its commit and the
//   sweep the folder its runs start in (workingDirectory).
// sha256Sums([{name, sha256}]) -> text

const id = (name) => ({'@id': name});

function runEntity(run, seeds) {
  return {
    '@id': `#run-${run.seq}`, '@type': 'CreateAction', name: run.command, instrument: id('#modelsuite'),
    startTime: run.startTime, endTime: run.endTime,
    object: [id(`#value-${Math.floor((run.seq - 1) / seeds) + 1}`), id(`#seed-${run.seed}`)],
    host: run.host, exitStatus: run.status === null ? null : Number(run.status), stdoutSha256: run.stdoutSha256,
    stderrSha256: run.stderrSha256,
  };
}

function entities(r) {
  const parts = r.files.map((f) => id(f.name));
  const seeds = Array.from({length: r.seeds}, (_, i) => i + 1);
  const software = {'@id': '#modelsuite', '@type': 'SoftwareApplication', name: 'modelsuite',
                    version: r.software.version};
  if (r.software.commit) software.commit = r.software.commit;
  const sweep = {'@id': '#sweep', '@type': 'CreateAction', name: r.command, instrument: id('#modelsuite'),
                 startTime: r.startTime, endTime: r.endTime,
                 object: [...r.values.map((_, k) => id(`#value-${k + 1}`)), ...seeds.map((s) => id(`#seed-${s}`))],
                 result: parts};
  if (r.workingDirectory) sweep.workingDirectory = r.workingDirectory;
  if (r.unfinished) Object.assign(sweep, {actionStatus: 'http://schema.org/FailedActionStatus', error: r.unfinished});
  return [
    {'@id': 'ro-crate-metadata.json', '@type': 'CreativeWork', conformsTo: id('https://w3id.org/ro/crate/1.1'),
     about: id('./')},
    {'@id': './', '@type': 'Dataset', conformsTo: id('https://w3id.org/ro/wfrun/process/0.5'),
     name: r.name ?? `sweep of ${r.option} for ${r.program}`, datePublished: r.endTime, hasPart: parts,
     mentions: [id('#sweep'), ...r.runs.map((run) => id(`#run-${run.seq}`))]},
    {'@id': 'https://w3id.org/ro/wfrun/process/0.5', '@type': 'CreativeWork', name: 'Process Run Crate',
     version: '0.5'},
    software,
    sweep,
    ...r.values.map((value, k) => ({'@id': `#value-${k + 1}`, '@type': 'PropertyValue', name: r.option, value})),
    ...seeds.map((s) => ({'@id': `#seed-${s}`, '@type': 'PropertyValue', name: 'seed',
                          value: String(r.seedValues?.[s - 1] ?? s)})),
    ...r.runs.map((run) => runEntity(run, r.seeds)),
    ...r.files.map((f) => ({'@id': f.name, '@type': 'File', encodingFormat: f.format,
                            contentSize: String(f.size), sha256: f.sha256})),
  ];
}

export function crateJson(record) {
  const lines = entities(record).map((e) => `    ${JSON.stringify(e)}`);
  return `{\n  "@context": "https://w3id.org/ro/crate/1.1/context",\n  "@graph": [\n${lines.join(',\n')}\n  ]\n}\n`;
}

export function sha256Sums(files) {
  return files.map((f) => `${f.sha256}  ${f.name}\n`).join('');
}
