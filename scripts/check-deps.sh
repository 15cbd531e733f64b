#!/usr/bin/env bash
# Checks that every Debian package the configured build and its programs use is named in
# the package list or pulled in by a listed package through Depends: a fresh machine
# installs the list without recommends, so anything else the dev machines happen to have
# would be missing there.
#
# Usage: scripts/check-deps.sh [--list FILE] [BUILD_DIR]
#   --list FILE  the package list (default scripts/debian-packages.txt)
#   BUILD_DIR    a configured and built tree (default build)
# Exit status: 0 all covered, 1 packages missing from the list, 2 usage or set-up error.
#
# What it looks at: the CMake packages configure found, the pkg-config libraries, the
# build tools, the shared libraries the programs in BUILD_DIR/bin link, the Qt plugins
# the programs load (and what those link), the commands the tests run under a real X
# server and the default font. Works offline: all it asks is the local dpkg database.
set -euo pipefail

script_dir="$(cd "$(dirname "$0")" && pwd)"
source_dir="$(cd "$script_dir/.." && pwd)"
list_file="$script_dir/debian-packages.txt"
build_dir="$source_dir/build"

usage() {
  echo "usage: scripts/check-deps.sh [--list FILE] [BUILD_DIR]" >&2
  exit 2
}
die() {
  echo "check-deps: $*" >&2
  exit 2
}

while [ $# -gt 0 ]; do
  case "$1" in
    --list)
      [ $# -ge 2 ] || usage
      list_file="$2"
      shift 2
      ;;
    --list=*)
      list_file="${1#--list=}"
      shift
      ;;
    -h | --help) usage ;;
    -*) usage ;;
    *)
      build_dir="$1"
      shift
      [ $# -eq 0 ] || usage
      ;;
  esac
done

for tool in dpkg dpkg-query ldd awk realpath; do
  command -v "$tool" >/dev/null || die "'$tool' is not available; this check needs a Debian system"
done
[ -r "$list_file" ] || die "cannot read the package list $list_file"
cache="$build_dir/CMakeCache.txt"
[ -r "$cache" ] || die "no $cache: configure first (scripts/build.sh)"
build_dir="$(cd "$build_dir" && pwd -P)"
cache="$build_dir/CMakeCache.txt"
project_source="$(sed -n 's/^CMAKE_HOME_DIRECTORY:INTERNAL=//p' "$cache")"
# The list as the messages name it: relative to the repository when it lives there.
list_name="$(realpath -m -- "$list_file")"
list_name="${list_name#"$source_dir"/}"

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

# Each need is "PATH<TAB>REASON": a file the build or the programs use.
needs="$work/needs"
: >"$needs"
add_need() { printf '%s\t%s\n' "$1" "$2" >>"$needs"; }

# Files of this project's own trees belong to no package.
inside_project() {
  case "$1" in
    "$build_dir" | "$build_dir"/*) return 0 ;;
  esac
  [ -n "$project_source" ] || return 1
  case "$1" in
    "$project_source" | "$project_source"/*) return 0 ;;
  esac
  return 1
}

cache_value() { sed -n "s/^$1:[A-Z]*=//p" "$cache" | head -n 1; }

# --- CMake packages: the *_DIR entries that hold a package configuration file.
while IFS= read -r entry; do
  name="${entry%%_DIR:PATH=*}"
  dir="${entry#*_DIR:PATH=}"
  case "$dir" in /*) ;; *) continue ;; esac
  inside_project "$dir" && continue
  lower="${name,,}"
  for config in "$dir/${name}Config.cmake" "$dir/${lower}-config.cmake"; do
    if [ -f "$config" ]; then
      add_need "$config" "CMake package $name"
      break
    fi
  done
done < <(grep -E '^[A-Za-z0-9_.+-]+_DIR:PATH=' "$cache" || true)

# --- Libraries pkg_check_modules found.
while IFS= read -r entry; do
  module="${entry#pkgcfg_lib_}"
  module="${module%%:FILEPATH=*}"
  path="${entry#*:FILEPATH=}"
  case "$path" in /*) add_need "$path" "pkg-config library ${module#*_} ($path)" ;; esac
done < <(grep -E '^pkgcfg_lib_[^:]*:FILEPATH=' "$cache" || true)

# --- What the link steps name by full path: static libraries never show up in ldd.
if [ -r "$build_dir/build.ninja" ]; then
  while IFS= read -r path; do
    inside_project "$path" || add_need "$path" "link library ${path##*/}"
  done < <(sed -n 's/^[[:space:]]*LINK_LIBRARIES = //p' "$build_dir/build.ninja" | tr -s ' ' '\n' |
    grep -E '^/.*\.(a|so(\.[0-9.]+)?)$' | sort -u || true)
fi

# --- The tools the build runs.
build_tool_entries=(
  CMAKE_COMMAND
  CMAKE_CXX_COMPILER
  CMAKE_MAKE_PROGRAM
  CMAKE_LINKER
  CMAKE_AR
  PKG_CONFIG_EXECUTABLE
  CCACHE_PROGRAM
)
for entry in "${build_tool_entries[@]}"; do
  path="$(cache_value "$entry")"
  case "$path" in /*) [ -e "$path" ] && add_need "$path" "build tool $path ($entry)" ;; esac
done
# Qt's code generators (moc, uic, rcc) as the generated build calls them.
while IFS= read -r path; do
  add_need "$path" "build tool $path (Qt code generator)"
done < <(find "$build_dir" -name 'Auto*Info.json' -path '*_autogen.dir/*' -exec \
  sed -n 's/^[[:space:]]*"QT_[A-Z]*_EXECUTABLE"[[:space:]]*:[[:space:]]*"\(\/[^"]*\)".*/\1/p' {} + |
  sort -u)

# --- Shared libraries: of every program in bin/ and of the Qt plugins they load.
# ldd_needs FILE LABEL adds each library FILE links, once per library.
declare -A seen_library=()
ldd_needs() {
  local output line path
  if ! output="$(ldd "$1" 2>&1)"; then
    # A static program links nothing at run time.
    case "$output" in *"not a dynamic executable"*) return 0 ;; esac
    die "ldd failed on $1: $output"
  fi
  while IFS= read -r line; do
    case "$line" in
      *"=> not found"*)
        add_need "" "library ${line%% =>*} of $2 is not found"
        continue
        ;;
      *" => /"*) path="${line#* => }" ;;
      [[:space:]]/*) path="$line" ;;
      *) continue ;;
    esac
    path="${path#"${path%%[![:space:]]*}"}"
    path="${path%% (*}"
    inside_project "$path" && continue
    [ -n "${seen_library[$path]:-}" ] && continue
    seen_library[$path]=1
    add_need "$path" "library ${path##*/} of $2"
  done <<<"$output"
}

programs=()
for file in "$build_dir"/bin/*; do
  { [ -f "$file" ] && [ -x "$file" ]; } || continue
  magic=""
  IFS= read -r -n 4 magic <"$file" || true
  [ "$magic" = $'\x7fELF' ] && programs+=("$file")
done
[ ${#programs[@]} -gt 0 ] || die "no programs in $build_dir/bin: build first (scripts/build.sh)"
for program in "${programs[@]}"; do
  ldd_needs "$program" "${program##*/}"
done

plugin_dir=""
if command -v qtpaths6 >/dev/null; then
  plugin_dir="$(qtpaths6 --query QT_INSTALL_PLUGINS 2>/dev/null || true)"
fi
if [ ! -d "$plugin_dir" ]; then
  # Without qtpaths6: Qt keeps its plugins beside the library folder of QtCore.
  core="$(ldd "${programs[0]}" | sed -n 's/.*libQt6Core\.so[^ ]* => \(\/[^ ]*\).*/\1/p' | head -n 1)"
  [ -n "$core" ] && plugin_dir="$(dirname "$core")/qt6/plugins"
fi
# The platforms the programs run on and the SVG support the skin's images need.
qt_plugins=(
  platforms/libqxcb.so
  platforms/libqoffscreen.so
  imageformats/libqsvg.so
  iconengines/libqsvgicon.so
)
for plugin in "${qt_plugins[@]}"; do
  if [ -f "$plugin_dir/$plugin" ]; then
    add_need "$plugin_dir/$plugin" "Qt plugin $plugin"
    ldd_needs "$plugin_dir/$plugin" "Qt plugin $plugin"
  else
    add_need "" "Qt plugin $plugin is not installed (looked in ${plugin_dir:-no plugin folder})"
  fi
done

# --- Commands for the tests under a real X server (xvfb-run and what it calls).
test_commands=(xvfb-run Xvfb xauth mcookie getopt)
for command_name in "${test_commands[@]}"; do
  if path="$(command -v "$command_name")"; then
    add_need "$path" "command $command_name (tests under a real X server)"
  else
    add_need "" "command $command_name (tests under a real X server) is not installed"
  fi
done

# --- The style test's formatter.
if path="$(command -v clang-format)"; then
  add_need "$path" "command clang-format (the style test)"
else
  add_need "" "command clang-format (the style test) is not installed"
fi

# --- This check's own commands: a fresh machine runs it too. (Not awk: it is whichever
# implementation the alternatives pick, and every Debian system has mawk.)
check_commands=(ldd dpkg dpkg-query realpath readlink sed grep sort cut tr find mktemp)
for command_name in "${check_commands[@]}"; do
  path="$(command -v "$command_name")" || die "'$command_name' is not available"
  add_need "$path" "command $command_name (scripts/check-deps.sh)"
done

# --- A font: without one Qt draws no text at all.
if command -v fc-match >/dev/null; then
  font="$(fc-match -f '%{file}' sans-serif 2>/dev/null || true)"
  if [ -n "$font" ] && [ -f "$font" ]; then
    add_need "$font" "the default font ($font)"
  else
    add_need "" "no font is installed (fc-match sans-serif)"
  fi
fi

# --- Owners. dpkg may know a file by its /usr-merged name, by the other one, or by the
# target of a symlink: ask for every spelling at once and take the first it knows.
mapfile -t paths < <(cut -f1 "$needs" | grep -v '^$' | sort -u || true)
declare -A real_of=()
if [ ${#paths[@]} -gt 0 ]; then
  mapfile -t reals < <(realpath -m -- "${paths[@]}")
  [ ${#reals[@]} -eq ${#paths[@]} ] || die "realpath failed"
  for i in "${!paths[@]}"; do
    real_of[${paths[$i]}]="${reals[$i]}"
  done
fi
# spell PATH sets "spelled" to the names dpkg may know PATH by, most direct first.
spell() {
  local candidate
  spelled=()
  for candidate in "$1" "${real_of[$1]:-}"; do
    [ -n "$candidate" ] || continue
    spelled+=("$candidate")
    case "$candidate" in
      /usr/*) spelled+=("${candidate#/usr}") ;;
      /*) spelled+=("/usr$candidate") ;;
    esac
  done
}

declare -A owner_of=()
all_spellings=()
for path in "${paths[@]}"; do
  spell "$path"
  all_spellings+=("${spelled[@]}")
done
if [ ${#all_spellings[@]} -gt 0 ]; then
  # "pkg:arch, other: /path" a line; diversions and unknown files are not owners.
  while IFS= read -r line; do
    case "$line" in diversion\ by*) continue ;; esac
    owners="${line%%: /*}"
    [ "$owners" = "$line" ] && continue
    path="${line#"$owners": }"
    cleaned=""
    IFS=',' read -ra owner_list <<<"${owners// /}"
    for owner in "${owner_list[@]}"; do
      cleaned+="${cleaned:+,}${owner%%:*}"
    done
    owner_of[$path]="$cleaned"
  done < <(dpkg -S "${all_spellings[@]}" 2>/dev/null || true)
fi

problems=()
: >"$work/owned"
while IFS=$'\t' read -r path reason; do
  if [ -z "$path" ]; then
    problems+=("$reason")
    continue
  fi
  owners=""
  spell "$path"
  for candidate in "${spelled[@]}"; do
    owners="${owner_of[$candidate]:-}"
    [ -n "$owners" ] && break
  done
  if [ -z "$owners" ]; then
    problems+=("$path ($reason) belongs to no Debian package: install it from one")
    continue
  fi
  printf '%s\t%s\n' "$owners" "$reason" >>"$work/owned"
done <"$needs"

# --- Closure of the list over Depends, from the installed packages' status.
dpkg-query -W -f='${Package}\t${db:Status-Abbrev}\t${Essential}\t${Pre-Depends}\t${Depends}\t${Provides}\n' \
  >"$work/status" || die "dpkg-query failed"
awk -f "$script_dir/deps-closure.awk" "$work/status" "$list_file" "$work/owned" >"$work/result" ||
  die "the closure of the package list could not be computed"

checked="$(sed -n 's/^checked\t//p' "$work/result")"
missing=0
while IFS=$'\t' read -r kind first rest; do
  case "$kind" in
    absent)
      problems+=("$first is named in $list_name but neither installed nor provided here: run scripts/install-deps.sh")
      ;;
    missing)
      missing=$((missing + 1))
      echo "check-deps: missing from the package list: ${first//,/ or }" >&2
      echo "  needed by: ${rest//; /$'\n'             }" >&2
      ;;
  esac
done <"$work/result"

for problem in "${problems[@]}"; do
  echo "check-deps: $problem" >&2
done
if [ "$missing" -gt 0 ]; then
  echo "check-deps: add the package(s) above to $list_name (Recommends and Suggests are not installed)." >&2
fi
if [ "$missing" -gt 0 ] || [ ${#problems[@]} -gt 0 ]; then
  exit 1
fi
echo "check-deps: all ${checked:-0} packages the build and its programs use are pulled in by $list_name."
