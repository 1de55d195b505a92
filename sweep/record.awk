# Writes ro-crate-metadata.json for sweep/record.sh, one entity per line,
# as web/src/record.mjs writes it. Input: files.tsv (name, format, size,
# checksum), then runs.tsv (as sweep/collect.awk writes it). Variables:
# version, commit, command, start, end, program, option, values, seeds,
# run_command (a run's command up to its value), folder (where runs start).
BEGIN { FS = "\t" }

# A JSON string.
function q(s) {
  gsub(/\\/, "\\\\", s); gsub(/"/, "\\\"", s); gsub(/\t/, "\\t", s)
  gsub(/\n/, "\\n", s); gsub(/\r/, "\\r", s)
  return "\"" s "\""
}
function id(s) { return "{\"@id\":" q(s) "}" }
function entity(text) { printf "%s    %s", (entities++ ? ",\n" : ""), text }

FILENAME == ARGV[1] { files[++nfiles] = $0; next }
{ runs[++nruns] = $0 }

END {
  nvalues = split(values, value, " ")
  for (i = 1; i <= nfiles; i++) { split(files[i], f); parts = parts (i > 1 ? "," : "") id(f[1]) }
  mentions = id("#sweep")
  for (i = 1; i <= nruns; i++) { split(runs[i], r); mentions = mentions "," id("#run-" r[1]) }
  objects = ""
  for (k = 1; k <= nvalues; k++) objects = objects (k > 1 ? "," : "") id("#value-" k)
  for (s = 1; s <= seeds; s++) objects = objects "," id("#seed-" s)

  printf "{\n  \"@context\": \"https://w3id.org/ro/crate/1.1/context\",\n  \"@graph\": [\n"
  entity("{\"@id\":\"ro-crate-metadata.json\",\"@type\":\"CreativeWork\",\"conformsTo\":" \
    id("https://w3id.org/ro/crate/1.1") ",\"about\":" id("./") "}")
  entity("{\"@id\":\"./\",\"@type\":\"Dataset\",\"conformsTo\":" id("https://w3id.org/ro/wfrun/process/0.5") \
    ",\"name\":" q("sweep of " option " for " program) ",\"datePublished\":" q(end) \
    ",\"hasPart\":[" parts "],\"mentions\":[" mentions "]}")
  entity("{\"@id\":\"https://w3id.org/ro/wfrun/process/0.5\",\"@type\":\"CreativeWork\"," \
    "\"name\":\"Process Run Crate\",\"version\":\"0.5\"}")
  entity("{\"@id\":\"#modelsuite\",\"@type\":\"SoftwareApplication\",\"name\":\"modelsuite\",\"version\":" \
    q(version) (commit != "" ? ",\"commit\":" q(commit) : "") "}")
  entity("{\"@id\":\"#sweep\",\"@type\":\"CreateAction\",\"name\":" q(command) \
    ",\"instrument\":" id("#modelsuite") ",\"startTime\":" q(start) ",\"endTime\":" q(end) \
    ",\"object\":[" objects "],\"result\":[" parts "]" \
    (folder != "" ? ",\"workingDirectory\":" q(folder) : "") "}")
  for (k = 1; k <= nvalues; k++)
    entity("{\"@id\":" q("#value-" k) ",\"@type\":\"PropertyValue\",\"name\":" q(option) \
      ",\"value\":" q(value[k]) "}")
  for (s = 1; s <= seeds; s++)
    entity("{\"@id\":" q("#seed-" s) ",\"@type\":\"PropertyValue\",\"name\":\"seed\",\"value\":" q(s) "}")
  for (i = 1; i <= nruns; i++) {
    # seq, status, host, start, end, stdout and stderr checksums, value, seed
    split(runs[i], r)
    k = int((r[1] - 1) / seeds) + 1
    entity("{\"@id\":" q("#run-" r[1]) ",\"@type\":\"CreateAction\",\"name\":" \
      q(run_command " " r[8] " -seed " r[9]) ",\"instrument\":" id("#modelsuite") \
      ",\"startTime\":" q(r[4]) ",\"endTime\":" q(r[5]) ",\"object\":[" id("#value-" k) "," \
      id("#seed-" r[9]) "],\"host\":" q(r[3]) ",\"exitStatus\":" r[2] ",\"stdoutSha256\":" q(r[6]) \
      ",\"stderrSha256\":" q(r[7]) "}")
  }
  for (i = 1; i <= nfiles; i++) {
    split(files[i], f)
    entity("{\"@id\":" q(f[1]) ",\"@type\":\"File\",\"encodingFormat\":" q(f[2]) \
      ",\"contentSize\":" q(f[3]) ",\"sha256\":" q(f[4]) "}")
  }
  printf "\n  ]\n}\n"
}
