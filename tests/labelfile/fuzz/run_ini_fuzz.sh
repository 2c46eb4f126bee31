#!/bin/bash
# Fuzzes the INI reader and writer for TESSARY_FUZZ_SECONDS (10 by default) with libFuzzer under
# AddressSanitizer and UndefinedBehaviorSanitizer. The main build uses g++, so
# the target is compiled here with clang++. Where clang or libFuzzer is
# missing, the bounded random-input GoogleTest runs instead.
#
# usage: run_ini_fuzz.sh <source dir> <test_labelfile binary> <work dir>
set -u

source_dir=$1
fallback_test=$2
work_parent=$3
seconds=${TESSARY_FUZZ_SECONDS:-10}
cxx=${TESSARY_FUZZ_CXX:-clang++}

run_fallback() {
    echo "libFuzzer not usable ($1); running the random-input test instead"
    TESSARY_RANDOM_INPUTS=${TESSARY_RANDOM_INPUTS:-20000} QT_QPA_PLATFORM=offscreen \
        "$fallback_test" --gtest_filter='IniRandomInput.*'
    exit $?
}

mkdir -p "$work_parent"
work=$(mktemp -d "$work_parent/ini_fuzz.XXXXXX") || exit 1
trap 'rm -rf "$work"' EXIT

command -v "$cxx" >/dev/null 2>&1 || run_fallback "no $cxx"
qt_flags=$(pkg-config --cflags --libs Qt6Core 2>/dev/null) \
    || qt_flags="-I/usr/include/x86_64-linux-gnu/qt6 -I/usr/include/x86_64-linux-gnu/qt6/QtCore -lQt6Core"

if ! "$cxx" -std=c++17 -g -O1 -fPIC \
        -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all \
        -I"$source_dir/src" -I"$source_dir/tests/labelfile/fuzz" \
        "$source_dir/tests/labelfile/fuzz/ini_fuzz_target.cpp" \
        "$source_dir/src/labelfile/ini_document.cpp" \
        "$source_dir/src/labelfile/regular_file_read_posix.cpp" \
        "$source_dir/src/labelfile/text_encoding.cpp" \
        "$source_dir/src/labelfile/whole_file_write.cpp" \
        "$source_dir/src/common/replacement_file_posix.cpp" \
        "$source_dir/src/common/unnamed_file_posix.cpp" \
        $qt_flags -o "$work/ini_fuzz" 2>"$work/compile.log"; then
    cat "$work/compile.log"
    # Only a missing fuzzer runtime falls back; a fault in our sources fails.
    grep -q 'libclang_rt.fuzzer' "$work/compile.log" || { echo "the fuzz target does not build"; exit 1; }
    run_fallback "no libFuzzer runtime"
fi

mkdir -p "$work/corpus"
cp "$source_dir"/tests/data/labelfile/*.lbl "$work/corpus/" 2>/dev/null

cd "$work" || exit 1
./ini_fuzz -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len=65536 \
    -print_final_stats=1 -dict="$source_dir/tests/labelfile/fuzz/ini.dict" corpus >"$work/fuzz.log" 2>&1
status=$?
grep -E 'stat::number_of_executed_units|stat::peak_rss_mb|Done [0-9]+ runs' "$work/fuzz.log"
if [ $status -ne 0 ] || grep -qE 'ERROR: (AddressSanitizer|libFuzzer)|runtime error:|INI check failed' "$work/fuzz.log"; then
    echo "fuzzing found a fault (exit status $status):"
    tail -n 60 "$work/fuzz.log"
    exit 1
fi
echo "fuzzing found no fault"
