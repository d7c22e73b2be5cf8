# Shared by smoke.sh and run.sh: configures and builds the fuzz targets into build/fuzz with
# clang, and lists the targets that were built.

fuzz_build=build/fuzz
fuzz_targets=(response_reader chunked_decoder url_encoding reg_file variant page_params)

# Builds every target whose sources are present (the page reader joins when the host has it).
fuzz_build_targets() {
  cmake -S fuzz -B "$fuzz_build" -G Ninja -DCMAKE_CXX_COMPILER=clang++ >/dev/null
  cmake --build "$fuzz_build" -j2
}

fuzz_built_targets() {
  local target
  for target in "${fuzz_targets[@]}"; do
    [ -x "$fuzz_build/${target}_fuzz" ] && echo "$target"
  done
  return 0
}

export ASAN_OPTIONS=${ASAN_OPTIONS:-abort_on_error=0:detect_leaks=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1}

# The target's dictionary option, when it has one.
fuzz_dict_option() {
  local dict="fuzz/dict/$1.dict"
  [ -f "$dict" ] && echo "-dict=$dict"
  return 0
}
