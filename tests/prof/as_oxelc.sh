# Runs oxel-prof as a golden test runs oxelc: the same arguments, every
# report asked for and written outside the scratch folder, and oxel-prof's
# exit status; each report must have been written.
#   sh as_oxelc.sh OXEL_PROF ARGUMENTS...
prof=$1
shift
reports=$(mktemp -d) || exit 99
"$prof" --report "$reports/table" --json "$reports/json" --folded "$reports/folded" --svg "$reports/svg" -- "$@"
status=$?
for report in table json folded svg; do
    if [ ! -s "$reports/$report" ] && [ "$report" != folded ]; then
        echo "as_oxelc.sh: no $report written" >&2
        status=98
    fi
done
rm -rf "$reports"
exit $status
