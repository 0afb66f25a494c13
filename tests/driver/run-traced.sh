#!/usr/bin/env bash
# Runs a test program (through wine-run, given first) with its stderr also written to a
# log file named by E2E_TRACE_LOG. Every setup.exe the program starts shares that
# stderr, so the program reads Wine's relay trace of setup.exe from the log. The trace
# lines themselves are kept out of the console output.
set -u
log=$(mktemp "${TMPDIR:-/tmp}/e2e-trace.XXXXXX")
trap 'rm -f "$log"' EXIT
export E2E_TRACE_LOG=$log
"$@" 2> >(tee "$log" | grep --line-buffered -avE '^[0-9a-f]{4}:(Call|Ret|trace:relay|Starting thread)|^e2e-trace-' >&2)
status=$?
wait
exit $status
