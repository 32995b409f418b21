# runlog-figures.awk RUNLOG: the transfers of a whole update from its run log (-log / --log), in
# the same words for every path the update takes to the mixer. Its lines are "MS EVENT ...", and a
# command's "MS command NAME took=MSms transfers=N ...". The four commands that carry the images
# ("WRFW", "VFFW", "WRFP", "VFFP": a data report and a status read per block) are transfers back to
# back: their time per transfer is the round trip from the wizard to the mixer and back.
NR == 1 { first = $1 }
{ last = $1 }
$2 == "command" {
  took = $4; sub(/^took=/, "", took); sub(/ms$/, "", took)
  n = $5; sub(/^transfers=/, "", n)
  all += n
  if ($3 ~ /^(WRFW|VFFW|WRFP|VFFP)$/) { ms += took; transfers += n }
}
END {
  printf "update %.1f s by its log, %d transfers; image transfers %d in %.1f s: %.0f per second, %.0f us each\n",
    (last - first) / 1000, all, transfers, ms / 1000, transfers / (ms / 1000), ms * 1000 / transfers
}
