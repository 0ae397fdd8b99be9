#!/usr/bin/env bash
# Runs every benchmark of a Release build folder, one after another, so that
# each measures its own work and the yardstick it is compared with in one run.
set -euo pipefail
build=${1:-build-release}
export QT_QPA_PLATFORM=offscreen
for bench in store/store_benchmark toolkit/browse_benchmark toolkit/memo_display_benchmark \
    reports/reports_benchmark words/word_list_benchmark words/lookup_benchmark \
    search/search_benchmark backups/backup_benchmark agenda/calendar_benchmark \
    agenda/agenda_opening_benchmark session/session_benchmark; do
    echo "== $bench"
    "$build/bench/$bench"
done
