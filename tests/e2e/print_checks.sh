# Shared by the checks that print to the test print server; sourced, not run. The caller sets
# server (the server's folder) and defines fail MESSAGE.

# The number of jobs the queue has saved.
jobs_printed() { find "$server/out" -name 'job-*' | wc -l; }

# expect_jobs COUNT WHY: waits for the saved jobs to reach COUNT (when more are expected), then
# checks the number stays there.
expect_jobs() {
  local count=$1 why=$2
  if [[ $(jobs_printed) -lt $count ]]; then
    for _ in $(seq 150); do
      [[ $(jobs_printed) -ge $count ]] && break
      sleep 0.1
    done
  fi
  sleep 1.5
  [[ $(jobs_printed) -eq $count ]] || fail "$why: $(jobs_printed) jobs printed, not $count"
}

# Text as printed, from standard input: the report's left edge as column 0, no blanks or CR at line
# ends, no empty lines at the end.
trimmed() {
  sed 's/\r$//; s/ *$//' | awk '
    {line[NR] = $0; if ($0 != "") {n = match($0, /[^ ]/) - 1; if (min == "" || n < min) min = n; last = NR}}
    END {for (i = 1; i <= last; ++i) print substr(line[i], min + 1)}'
}

# A PDF's text as printed, trimmed. The report's 16-point fixed-pitch characters are 9.6 points
# apart: read on that grid, blanks and columns come back as printed.
pdf_text() {
  pdftotext -fixed 9.6 "$1" - | tr -d '\f' | trimmed
}

# same_document A B: whether two jobs are the same document, byte for byte but for the moment each
# was made (a PDF's /CreationDate, a PostScript %%CreationDate line), which differs between copies
# printed across a second's turn.
same_document() {
  local dated='s#/CreationDate \(D:[^)]*\)#/CreationDate ()#g; s#^%%CreationDate:.*#%%CreationDate:#'
  cmp -s <(sed -E "$dated" "$1") <(sed -E "$dated" "$2")
}
