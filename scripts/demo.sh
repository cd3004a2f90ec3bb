#!/usr/bin/env bash
# Lays out the sample application under build/demo/app the way a developer ships
# one — Hello.exe (orvo.exe) with its 64-bit pair Hello64.exe (orvo64.exe), their
# INIs, the jar in lib\ and a Java runtime bundled as jre\, which the launchers
# find beside themselves — and starts Hello.exe under wine. The bundled runtime is
# 64-bit, so Hello.exe hands the launch over to Hello64.exe, which runs the Java
# program in its own process.
#
# Then the same application as one file: orvo-pack (the native build) stamps the
# sample's icon, a version, the configuration and the jar into a copy of orvo64.exe,
# build/demo/onefile/Hello.exe, which is started the same way, with nothing beside it.
set -euo pipefail
source "$(dirname "$0")/wine-env.sh"
trap orvo_stop_all EXIT

demo="$ORVO_ROOT/build/demo"
app="$demo/app"
runtime="$ORVO_ROOT/build/runtime/jdk"
for needed in "$ORVO_ROOT/build/i686/orvo.exe" "$ORVO_ROOT/build/x86_64/orvo64.exe" "$runtime/bin/java.dll" \
              "$ORVO_ROOT/build/native/orvo-pack"; do
  [ -e "$needed" ] || { echo "demo: $needed is missing; run 'make build' first" >&2; exit 1; }
done

# Everything is laid out afresh except the bundled runtime: 53 MB, copied once.
mkdir -p "$app"
find "$app" -mindepth 1 -maxdepth 1 ! -name jre -exec rm -rf {} +
rm -rf "$demo/classes"
if [ ! -f "$app/jre/.copied" ] || [ "$runtime/release" -nt "$app/jre/.copied" ]; then
  echo "demo: bundling the Java runtime as $app/jre"
  rm -rf "$app/jre"
  cp -a "$runtime" "$app/jre"
  touch "$app/jre/.copied"
fi

mkdir -p "$app/lib" "$app/logs" "$demo/classes"
mapfile -t sources < <(find "$ORVO_ROOT/samples/hello/src" -name '*.java')
javac --release 11 -encoding UTF-8 -d "$demo/classes" "${sources[@]}"
jar --create --file "$app/lib/hello.jar" -C "$demo/classes" .

cp "$ORVO_ROOT/build/i686/orvo.exe" "$app/Hello.exe"
cp "$ORVO_ROOT/build/x86_64/orvo64.exe" "$app/Hello64.exe"
for ini in Hello.ini Hello64.ini; do
  sed 's/$/\r/' > "$app/$ini" <<'INI'
[Product Information]
Product Name=Orvo Demo
Product Code=orvo-demo

[Application]
Pair Product=Hello64.exe
Pair Return Code=Yes
Override WorkingDir=Yes
Output File=logs\hello-out.txt
Error File=logs\hello-err.txt

[Java Runtime Environment]
Main Class=com.example.hello.Main
Virtual Machine Parameters=-Xmx25P

[Class Path]
Class Path=lib\*.jar
INI
done

orvo_start_display
orvo_prepare_prefix

# run_demo EXE OUTPUT-FILE: starts the launcher with two arguments and shows what the
# Java program printed; false when it failed or printed nothing.
run_demo() {
  local exe=$1 out=$2
  echo "demo: starting $exe \"first argument\" second"
  local started code elapsed_ms
  started=$(date +%s%N)
  set +e
  wine "$exe" "first argument" second
  code=$?
  set -e
  elapsed_ms=$(( ($(date +%s%N) - started) / 1000000 ))
  printf 'demo: %s exited with code %d after %d.%03d s\n' "$(basename "$exe")" "$code" $((elapsed_ms / 1000)) $((elapsed_ms % 1000))
  if [ -s "$out" ]; then
    echo "demo: the Java program printed:"
    sed 's/^/    /; s/\r$//' "$out"
  else
    echo "demo: the Java program printed nothing (no Java runtime was started)"
  fi
  [ "$code" -eq 0 ] && [ -s "$out" ]
}

run_demo "$app/Hello.exe" "$app/logs/hello-out.txt"
if [ -s "$app/logs/hello-err.txt" ]; then
  echo "demo: on its standard error:"
  sed 's/^/    /; s/\r$//' "$app/logs/hello-err.txt"
fi

# The one-file application: everything but the runtime inside Hello.exe.
onefile="$demo/onefile"
rm -rf "$onefile" "$demo/pack"
mkdir -p "$onefile" "$demo/pack"
sed 's/$/\r/' > "$demo/pack/Hello.ini" <<'INI'
[Product Information]
Product Name=Orvo Demo
Product Code=orvo-demo-onefile

[Application]
Override WorkingDir=Yes
Output File=hello-out.txt

[Java Runtime Environment]
Main Class=com.example.hello.Main
JRE Path=..\app\jre
Virtual Machine Parameters=-Xmx25P
INI
"$ORVO_ROOT/build/native/orvo-pack" --launcher "$ORVO_ROOT/build/x86_64/orvo64.exe" --out "$onefile/Hello.exe" \
  --icon "$ORVO_ROOT/samples/hello/hello.ico" --version 1.0.0.0 --product-name "Orvo Demo" \
  --company "The Orvo developers" --description "Orvo Demo" --copyright "(c) 2026 the Orvo developers" \
  --config "$demo/pack/Hello.ini" --jar "$app/lib/hello.jar"
echo "demo: packed $onefile/Hello.exe: $(stat -c %s "$onefile/Hello.exe") bytes with icon, version," \
     "configuration and jar (orvo64.exe alone: $(stat -c %s "$ORVO_ROOT/build/x86_64/orvo64.exe") bytes)"
echo "demo: the folder $onefile holds: $(ls "$onefile")"
run_demo "$onefile/Hello.exe" "$onefile/hello-out.txt"
