#!/bin/bash
# The INI reader and writer under libFuzzer with AddressSanitizer and
# UndefinedBehaviorSanitizer. The main build uses g++, so the target is
# compiled with clang++, as a step of the build:
#
#   run_ini_fuzz.sh build <source dir> <fuzzer>
#       compiles the fuzzer; where clang or libFuzzer is missing, writes
#       <fuzzer> as a note of why instead. A fault in our sources fails.
#   run_ini_fuzz.sh run <source dir> <fuzzer> <test_labelfile binary> <work dir>
#       fuzzes for TESSARY_FUZZ_SECONDS (10 by default); with no fuzzer, the
#       bounded random-input GoogleTest runs instead.
set -u

mode=$1
source_dir=$2
fuzzer=$3
cxx=${TESSARY_FUZZ_CXX:-clang++}

if [ "$mode" = build ]; then
    unusable() { printf 'libFuzzer not usable (%s)\n' "$1" >"$fuzzer"; exit 0; }
    rm -f "$fuzzer"
    command -v "$cxx" >/dev/null 2>&1 || unusable "no $cxx"
    qt_flags=$(pkg-config --cflags --libs Qt6Core 2>/dev/null) \
        || qt_flags="-I/usr/include/x86_64-linux-gnu/qt6 -I/usr/include/x86_64-linux-gnu/qt6/QtCore -lQt6Core"
    log="$fuzzer.compile.log"
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
            $qt_flags -o "$fuzzer" 2>"$log"; then
        cat "$log"
        # Only a missing fuzzer runtime is a machine without libFuzzer.
        grep -q 'libclang_rt.fuzzer' "$log" || { echo "the fuzz target does not build"; exit 1; }
        unusable "no libFuzzer runtime"
    fi
    exit 0
fi

fallback_test=$4
work_parent=$5
seconds=${TESSARY_FUZZ_SECONDS:-10}

if [ ! -x "$fuzzer" ]; then
    echo "$(cat "$fuzzer" 2>/dev/null || echo "no fuzzer built at $fuzzer"); running the random-input test instead"
    TESSARY_RANDOM_INPUTS=${TESSARY_RANDOM_INPUTS:-20000} QT_QPA_PLATFORM=offscreen \
        "$fallback_test" --gtest_filter='IniRandomInput.*'
    exit $?
fi

mkdir -p "$work_parent"
work=$(mktemp -d "$work_parent/ini_fuzz.XXXXXX") || exit 1
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/corpus"
cp "$source_dir"/tests/data/labelfile/*.lbl "$work/corpus/" 2>/dev/null

cd "$work" || exit 1
"$fuzzer" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len=65536 \
    -print_final_stats=1 -dict="$source_dir/tests/labelfile/fuzz/ini.dict" corpus >"$work/fuzz.log" 2>&1
status=$?
grep -E 'stat::number_of_executed_units|stat::peak_rss_mb|Done [0-9]+ runs' "$work/fuzz.log"
if [ $status -ne 0 ] || grep -qE 'ERROR: (AddressSanitizer|libFuzzer)|runtime error:|INI check failed' "$work/fuzz.log"; then
    echo "fuzzing found a fault (exit status $status):"
    tail -n 60 "$work/fuzz.log"
    exit 1
fi
echo "fuzzing found no fault"
