# Prints the ROW lines of the benchmarks ("ROW<TAB>measure<TAB>measured<TAB>ratio<TAB>target")
# as one table, with PASS where the ratio is within its target and MISS where it is not.
BEGIN { FS = "\t"
        printf "%-64s %-26s %8s %8s  %s\n", "measure", "ours vs yardstick", "ratio", "target", ""
        printf "%-64s %-26s %8s %8s  %s\n", "-------", "-----------------", "-----", "------", "" }
/^ROW\t/ { verdict = ($4 + 0 <= $5 + 0) ? "PASS" : "MISS"
           printf "%-64s %-26s %8.2f %8s  %s\n", $2, $3, $4, "<= " $5, verdict }
