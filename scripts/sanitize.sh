#!/usr/bin/env bash
# Builds the file readers' tests with AddressSanitizer and
# UndefinedBehaviorSanitizer into build-sanitize/ (clang) and runs them.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
bash scripts/configure-sanitize.sh
readers=(verdimo_tests test_project_file test_connection_sets test_extra_elements test_section_list
         test_print_layout test_settings_files test_token_stream test_wbase test_startup test_sheet
         test_undo_history test_damaged_inputs test_coverage)
cmake --build build-sanitize --target "${readers[@]}"
export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS=abort_on_error=0:detect_leaks=1
export LSAN_OPTIONS=suppressions=$PWD/scripts/lsan.supp:print_suppressions=0
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
for t in "${readers[@]}"; do
  echo "== $t (sanitized)"
  build-sanitize/bin/$t --gtest_brief=1
done
