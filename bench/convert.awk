# The conversion's rules in awk, for comparison: run with LC_ALL=C and
#   mawk -v template="FILE" -f convert.awk INPUT > OUTPUT
# Lines end at CR, LF or CR LF; the last template entry that a line starts with
# (ASCII case ignored) supplies the value; Tab after it, CR after the last entry.
BEGIN {
    RS = "\r\n|\r|\n"
    n = 0
    while ((getline name < template) > 0) {
        n++
        low[n] = tolower(name)
        len[n] = length(name)
        names[n] = name
    }
    for (i = 1; i <= n; i++) printf "%s%s", names[i], (i == n ? "\r" : "\t")
}
{
    for (i = n; i >= 1; i--) {
        if (length($0) >= len[i] && tolower(substr($0, 1, len[i])) == low[i]) {
            printf "%s%s", substr($0, len[i] + 1), (i == n ? "\r" : "\t")
            break
        }
    }
}
