# Counts the report starts of a raw hourly file (line ends already made LF), by
# patterns of its own rather than the program's classifier:
#  - a report starts with an identifier and a time group, NIL, AUTO or RMK (METAR,
#    SPECI, also after "METAR", "SPECI", "LWIS", "COR" or a "TTF" trend prefix), or
#    with an identifier and an SA word;
#  - a recent-weather group ("RERA", "RESN", ...) is no identifier;
#  - an indented line continues a report that has not ended with "=".
function is_start(line) {
  if (line ~ /^(TTF )?(METAR |SPECI |LWIS )?(COR )?[A-Z][A-Z0-9][A-Z0-9][A-Z0-9] +([0-9][0-9][0-9][0-9][0-9][0-9][Zz]|NIL|AUTO|RMK)/)
    return 1
  return line ~ /^ *[A-Z0-9][A-Z0-9][A-Z0-9][A-Z0-9]? +(SA|SP|RS|SM|USP|AMOS|NIL=?)( |$)/
}
function first_id(line,   w, n, i) {
  n = split(line, w, " ")
  for (i = 1; i <= n; i++)
    if (w[i] != "TTF" && w[i] != "METAR" && w[i] != "SPECI" && w[i] != "LWIS" && w[i] != "COR")
      return w[i]
  return ""
}
/^[ \001\003]*$/ { open = 0; next }
{
  if (is_start($0) && first_id($0) !~ /^RE(MI|BC|DR|BL|TS|SH|FZ|DZ|RA|SN|SG|GS|PE|PL|IC|FG|BR|HZ|SA|DU|FU)$/ && !(open && $0 ~ /^ /)) {
    starts++
    open = 1
  }
  if ($0 ~ /= *$/) open = 0
}
END { print starts + 0 }
