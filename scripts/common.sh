# Shared by the scripts: where things are, and how to configure a build.
repo_root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
export CCACHE_BASEDIR="$repo_root"   # worktrees of the repository share one cache
export CCACHE_NOHASHDIR=1
jobs=${VRASK_JOBS:-$(nproc 2>/dev/null || echo 2)}  # VRASK_JOBS caps parallel jobs on a shared machine

# configure <build folder> <cmake options...>
configure() {
  local build=$1
  shift
  cmake -S "$repo_root" -B "$build" -G Ninja \
    -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ "$@" >/dev/null
}

# phase <text>: announces a step of a script in one line, with the time, so that a slow
# step of a long run shows in its log.
phase() {
  printf '== %s %s\n' "$(date -u +%H:%M:%S)" "$*"
}
