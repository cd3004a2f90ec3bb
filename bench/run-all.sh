#!/usr/bin/env bash
# `make bench`: every figure of Orvo's start beside the runtime's own launchers, under
# wine on the real Java runtime, in one run. Contenders alternate run by run after a
# warm-up; each row gives the median of BENCH_RUNS runs (default 15) and the spread.
# Writes build/bench/results.md and prints it. Figures only: nothing is asserted.
# Needs the built trees (make build or make test); fetches Groovy from Maven Central
# (pinned versions, checked by sha256) into build/bench/.
set -euo pipefail
source "$(dirname "$0")/../scripts/wine-env.sh"
trap 'remove_registrations; orvo_stop_all' EXIT

runs=${BENCH_RUNS:-15}
warm_up=${BENCH_WARM_UP:-3}
out="$ORVO_ROOT/build/bench"
results="$out/results.md"
x64="$ORVO_ROOT/build/x86_64"
x86="$ORVO_ROOT/build/i686"
jdk="$ORVO_ROOT/build/runtime/jdk21"
win() { local path="Z:$1"; printf '%s\n' "${path//\//\\}"; }
q() { printf '"%s"' "$(win "$1")"; }
note() { printf '%s\n' "$*" >> "$results"; }

mkdir -p "$out"
: > "$results"
for tree in "$x64" "$x86"; do
  cmake --build "$tree" --target orvo_launcher orvo_bench_start orvo_bench_jvm_floor orvo_bench_jvm_floor_gui testjvm >/dev/null
done
[ -f "$jdk/bin/java.exe" ] || { echo "no Java 21 runtime in $jdk: run make build first" >&2; exit 1; }
jdk_version=$(tr -d '\r' < "$jdk/release" | sed -n 's/^JAVA_VERSION="\(.*\)"/\1/p')
# A row whose runs failed says so; the other figures are still taken.
bench_start() { wine "$x64/orvo_bench_start.exe" "$runs" "$warm_up" "$@" | tr -d '\r' >> "$results" || true; }

# Java programs to start: the tests' probe, and Groovy for a program with many classes.
fetch() {  # fetch <maven path> <sha256>
  local file
  file="$out/$(basename "$1")"
  if ! echo "$2  $file" | sha256sum -c --status 2>/dev/null; then
    curl -fsSL -o "$file.part" "https://repo1.maven.org/maven2/$1"
    echo "$2  $file.part" | sha256sum -c --status || { echo "checksum mismatch for $1" >&2; exit 1; }
    mv "$file.part" "$file"
  fi
}
fetch org/apache/groovy/groovy/4.0.24/groovy-4.0.24.jar 38db8aa6f48b96aa11dd75745b96ab2991ddc9a09f5f3840fae704b84a588867
fetch info/picocli/picocli/4.7.6/picocli-4.7.6.jar ed441183f309b93f104ca9e071e314a4062a893184e18a3c7ad72ec9cba12ba0

orvo_start_display >/dev/null
orvo_prepare_prefix
# Wine gives every program its own APPDATA: the per-user folder of the prefix's user.
appdata="$WINEPREFIX/drive_c/users/$(whoami)/AppData/Roaming"
rm -rf "$appdata/Orvo Bench"

# An application folder: launcher copies and their INI files (CRLF, as users write them).
app_dir() { rm -rf "$1" && mkdir -p "$1"; }
ini() { printf '%s\r\n' "${@:2}" > "$1"; }

note "# Orvo start benchmark"
note ""
note "$(date -u '+%Y-%m-%d %H:%M UTC'), $(wine --version), $(nproc) cores; $runs runs per row after $warm_up warm-up rounds,"
note "contenders alternating run by run. Milliseconds from just before CreateProcess to the end named."
note ""

# 1. Start to main to exit of a small program (orvo.test.Probe, no arguments).
probe="$x64/java/orvo-probe.jar"
app="$out/probe-app"; app_dir "$app"
cp "$x64/orvo64.exe" "$app/App64.exe"; cp "$x86/orvo.exe" "$app/App.exe"
# The console kind, made by make build beside the windowed launchers.
cp "$x64/orvoc64.exe" "$app/Tool64.exe"; cp "$x86/orvoc.exe" "$app/Tool.exe"
runtime_lines=("[Java Runtime Environment]" "Main Class=orvo.test.Probe" "JRE Path=$(win "$jdk")" "[Class Path]" "Class Path=$(win "$probe")")
ini "$app/App64.ini" "${runtime_lines[@]}"
ini "$app/App.ini" "[Application]" "Pair Product=App64.exe" "Pair Return Code=Yes" "${runtime_lines[@]}"
ini "$app/Tool64.ini" "${runtime_lines[@]}"
ini "$app/Tool.ini" "[Application]" "Pair Product=Tool64.exe" "${runtime_lines[@]}"
# The median of the last row so labelled, in milliseconds.
median_of() {
  awk -F'|' -v label="$1" '{ l = $2; gsub(/^ +| +$/, "", l); if (l == label) { m = $3; gsub(/ /, "", m); v = m } } END { print v }' "$results"
}
# "a / b" or "a - b" of two medians, for the figures the launcher is judged by.
compare_medians() {  # compare_medians <label a> <label b> <ratio|difference>
  local a b
  a=$(median_of "$1"); b=$(median_of "$2")
  if [ -z "$a" ] || [ -z "$b" ]; then echo "not measured"; return; fi
  if [ "$3" = ratio ]; then awk -v a="$a" -v b="$b" 'BEGIN { printf "%.2f ×\n", a / b }'
  else awk -v a="$a" -v b="$b" 'BEGIN { printf "%.1f ms\n", a - b }'; fi
}

note "## Start to main to exit: a small program"
note ""
note "Java $jdk_version; every contender uses its server VM (bin\\server\\jvm.dll, the only one it has), the same class path and no options."
note ""
bench_start \
  "java.exe" exit "$(q "$jdk/bin/java.exe") -cp $(q "$probe") orvo.test.Probe" \
  "javaw.exe" exit "$(q "$jdk/bin/javaw.exe") -cp $(q "$probe") orvo.test.Probe" \
  "orvo64.exe" exit "$(q "$app/App64.exe")" \
  "orvo.exe, handed over to orvo64.exe" exit "$(q "$app/App.exe")" \
  "orvoc64.exe (console)" exit "$(q "$app/Tool64.exe")" \
  "orvoc.exe, handed over to orvoc64.exe" exit "$(q "$app/Tool.exe")"
note ""
note "orvo.exe handed over, over orvo64.exe started directly (medians): $(compare_medians "orvo.exe, handed over to orvo64.exe" orvo64.exe ratio)"
note ""

# 2. The launcher's own work before JNI_CreateJavaVM, on the test JVM, which writes
# the performance counter at its entry; the runtime is found through JAVA_HOME, after
# the registry search, so that the registered runtimes are all read and passed over.
home="$out/testjvm-home"; rm -rf "$home" && mkdir -p "$home/bin/server"
cp "$x64/testjvm/jvm.dll" "$home/bin/server/jvm.dll"; : > "$home/bin/java.dll"
stamp="$out/create-stamp.txt"
# testjvm.ini takes "\\" for a backslash.
printf 'classes=com/example/App\ncreate_time_file=%s\n' "$(win "$stamp" | sed 's/\\/\\\\/g')" > "$home/bin/server/testjvm.ini"
own="$out/own-work"; app_dir "$own"; mkdir -p "$own/classes"
cp "$x64/orvo64.exe" "$own/App64.exe"
# A copy without a "." in its name finds no configuration and exits with -1 at once:
# the cost of a launcher process that does nothing.
cp "$x64/orvo64.exe" "$own/Bare"
ini "$own/App64.ini" "[Java Runtime Environment]" "Main Class=com.example.App" "[Class Path]" "Class Path=$(win "$own/classes")"
export JAVA_HOME; JAVA_HOME=$(win "$home")
own_work() {
  bench_start \
    "floor: load jvm.dll, call JNI_CreateJavaVM" "stamp=$(win "$stamp")" \
      "$(q "$x64/orvo_bench_jvm_floor.exe") $(q "$home/bin/server/jvm.dll") -Djava.class.path=$(q "$own/classes")" \
    "floor, windowed, with the launcher's system libraries" "stamp=$(win "$stamp")" \
      "$(q "$x64/orvo_bench_jvm_floor_gui.exe") $(q "$home/bin/server/jvm.dll") -Djava.class.path=$(q "$own/classes")" \
    "orvo64.exe, $1" "stamp=$(win "$stamp")" "$(q "$own/App64.exe")" \
    "orvo64.exe that stops at once (start to exit)" exit-any "$(q "$own/Bare")"
}
# 25 JavaSoft and 25 Adoptium registrations of runtimes that are not there, for one
# registry view; imported with "reg import /reg:32|64".
registrations() {
  local n
  echo "Windows Registry Editor Version 5.00"
  for n in $(seq 1 25); do
    printf '\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\JavaSoft\\JDK\\17.0.%s]\n' "$n"
    printf '"JavaHome"="C:\\\\orvo-bench-missing\\\\jdk-%s"\n' "$n"
    printf '\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Eclipse Adoptium\\JDK\\17.0.%s.1\\hotspot\\MSI]\n' "$n"
    printf '"Path"="C:\\\\orvo-bench-missing\\\\temurin-%s\\\\"\n' "$n"
  done
}
vendor_roots=('HKLM\SOFTWARE\JavaSoft' 'HKLM\SOFTWARE\Eclipse Adoptium')
# True when neither root is there in either view: then every key below them is ours.
registry_is_clear() {
  local view root
  for view in 32 64; do
    for root in "${vendor_roots[@]}"; do
      wine reg query "$root" /reg:$view >/dev/null 2>&1 && return 1
    done
  done
  return 0
}
registered=no
remove_registrations() {
  [ "$registered" = yes ] || return 0
  local view root
  for view in 32 64; do
    for root in "${vendor_roots[@]}"; do wine reg delete "$root" /reg:$view /f >/dev/null 2>&1 || true; done
  done
  registered=no
}
note "## Own work before JNI_CreateJavaVM"
note ""
note "From just before CreateProcess to the entry of JNI_CreateJavaVM of the test JVM (tests/testjvm), found"
note "through JAVA_HOME after the registry search; the floor only loads the library and calls it (the"
note "windowed floor also imports the windowing libraries, which the launcher loads only to show something)."
note "Ratios are to the plain floor."
note ""
own_work "no registered runtime"
note ""
if registry_is_clear; then
  registrations > "$out/register.reg"
  registered=yes
  for view in 32 64; do wine reg import "$(win "$out/register.reg")" /reg:$view >/dev/null 2>&1; done
  own_work "50 registered runtimes in each registry view (none usable)"
  remove_registrations
  note ""
  note "orvo64.exe with 50 registered runtimes per view, above the plain floor (medians): $(compare_medians \
    "orvo64.exe, 50 registered runtimes in each registry view (none usable)" "floor: load jvm.dll, call JNI_CreateJavaVM" difference)"
else
  note "50 registered runtimes: not measured — this prefix has runtimes registered already, and the benchmark removes only keys it made."
fi
note ""

# 3. The class-data cache on a program with many classes: a Groovy script, on Java 25
# (AOT cache) and Java 21 (dynamic archive). The cache's name carries a fingerprint,
# so a first start removes whatever the pattern Cached<N>-* finds.
script="println([1, 2, 3].collect { it * 2 }.sum())"
groovy_jar="$out/groovy-4.0.24.jar"
picocli_jar="$out/picocli-4.7.6.jar"
groovy_section() {  # groovy_section <java feature release>
  local java="$ORVO_ROOT/build/runtime/jdk$1" version gapp cp cached
  version=$(tr -d '\r' < "$java/release" | sed -n 's/^JAVA_VERSION="\(.*\)"/\1/p')
  gapp="$out/groovy-app-$1"; app_dir "$gapp"
  # Copies of the jars of its own, so that an update here changes no other row's cache.
  cp "$groovy_jar" "$picocli_jar" "$gapp/"
  cp="$(win "$gapp/groovy-4.0.24.jar");$(win "$gapp/picocli-4.7.6.jar")"
  cached="$appdata/Orvo Bench/groovy$1/Cached$1-*"
  cp "$x64/orvo64.exe" "$gapp/Groovy64.exe"; cp "$x64/orvo64.exe" "$gapp/Cached$1.exe"
  groovy_ini() {  # groovy_ini <file> [more lines of Java Runtime Environment]
    ini "$1" "[Product Information]" "Product Name=Orvo Bench" "Product Code=groovy$java_release" \
      "[Java Runtime Environment]" "Main Class=groovy.ui.GroovyMain" "JRE Path=$(win "$java")" "${@:2}" \
      "[Class Path]" "Class Path=$cp"
  }
  java_release=$1
  groovy_ini "$gapp/Groovy64.ini"
  groovy_ini "$gapp/Cached$1.ini" "Class Data Cache=Yes"
  note "## Class Data Cache: a Groovy script (groovy 4.0.24, \`-e\`), Java $version, server VM"
  note ""
  note "$2"
  note ""
  local rows=(
    "java.exe" exit "$(q "$java/bin/java.exe") -cp \"$cp\" groovy.ui.GroovyMain -e \"$script\""
    "orvo64.exe, no cache" exit "$(q "$gapp/Groovy64.exe") -e \"$script\""
    "orvo64.exe, cache, first start" "fresh=$(win "$cached")" "$(q "$gapp/Cached$1.exe") -e \"$script\""
    "orvo64.exe, cache, later start" exit "$(q "$gapp/Cached$1.exe") -e \"$script\""
  )
  [ "$1" = 25 ] && rows+=(
    "orvo64.exe, cache, second start after groovy.jar is replaced" "updated=$(win "$gapp/groovy-4.0.24.jar")" \
      "$(q "$gapp/Cached$1.exe") -e \"$script\""
  )
  bench_start "${rows[@]}"
  note ""
}
groovy_section 25 "AOT cache. First start: no cache (removed before each run); the VM records what the script loads as it ends, and a process of its own assembles the cache after the launcher has gone (the benchmark waits for it, untimed). Later start: the cache of the run before. After an update: the jar's time set anew, one untimed start (it records), then the timed one."
groovy_section 21 "Dynamic archive. First start: no archive (removed before each run; the VM writes it as it ends). Later start: the archive of the run before."
orvo_stop_all
unset JAVA_HOME

# 4. Single instance and splash: the scripts beside this one, each with wine of its own.
note "## Single instance (bench/single-instance.sh)"
note ""
note '```'
bash "$ORVO_ROOT/bench/single-instance.sh" "$runs" 2>&1 | grep -v '^xvfb:' | tr -d '\r' >> "$results" || note "single instance: failed"
note '```'
note ""
note "## Splash screen: start to splash on screen"
note ""
if [ -f "$ORVO_ROOT/bench/splash-timing.sh" ]; then
  note '```'
  bash "$ORVO_ROOT/bench/splash-timing.sh" "$runs" 2>&1 | grep -v '^xvfb:' | tr -d '\r' >> "$results" || note "splash: failed"
  note '```'
else
  note "splash: not measured — bench/splash-timing.sh is not on this branch yet (it comes with the splash screen)."
fi
note ""

# 5. Sizes.
note "## Sizes"
note ""
note "| executable | bytes |"
note "|---|---|"
note "| orvo.exe | $(stat -c %s "$x86/orvo.exe") |"
note "| orvo64.exe | $(stat -c %s "$x64/orvo64.exe") |"
# The console launchers, which make build turns out beside them.
for console in "$x86/orvoc.exe" "$x64/orvoc64.exe"; do
  if [ -f "$console" ]; then note "| $(basename "$console") | $(stat -c %s "$console") |"; fi
done
cat "$results"
