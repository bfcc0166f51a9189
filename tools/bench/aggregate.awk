# Merges the key=value files of repeated runs into one: the smallest figure
# of each number (the run least disturbed by other work on the machine),
# "NO" for hosts_identical if any run says so, and the other texts of the
# run with the smallest scan time.
BEGIN { FS = "=" }
{ sub(/\r$/, "") }
FNR == 1 { run++ }
$1 == "" { next }
{
  key = $1; value = substr($0, length($1) + 2)
  if (!(key in seen)) { order[++keys] = key; seen[key] = 1 }
  values[run, key] = value
  if (key == "steps_ms" && (best == "" || value + 0 < bestTime)) { best = run; bestTime = value + 0 }
}
END {
  for (i = 1; i <= keys; i++) {
    key = order[i]; out = ""
    for (r = 1; r <= run; r++) {
      if (!((r, key) in values)) continue
      v = values[r, key]
      if (key == "hosts_identical") { if (out == "" || v != "yes") out = v; continue }
      if (v ~ /^-?[0-9.]+$/) { if (out == "" || v + 0 < out + 0) out = v; continue }
      if (r == best || out == "") out = v
    }
    print key "=" out
  }
}
