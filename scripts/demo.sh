#!/usr/bin/env bash
# Lays out a sample application folder (launcher, pair, INI, jar) under build/demo
# and starts it through orvo.exe under wine, then shows what the Java program printed.
set -euo pipefail
source "$(dirname "$0")/wine-env.sh"
trap orvo_stop_all EXIT

demo="$ORVO_ROOT/build/demo"
rm -rf "$demo"
mkdir -p "$demo/app/lib" "$demo/classes"

javac --release 11 -d "$demo/classes" $(find "$ORVO_ROOT/samples/hello/src" -name '*.java')
jar --create --file "$demo/app/lib/hello.jar" -C "$demo/classes" .

cp "$ORVO_ROOT/build/i686/orvo.exe" "$demo/app/Hello.exe"
cp "$ORVO_ROOT/build/x86_64/orvo64.exe" "$demo/app/Hello64.exe"
for ini in Hello.ini Hello64.ini; do
  cat > "$demo/app/$ini" <<'INI'
[Product Information]
Product Name=Orvo Demo
Product Code=orvo-demo

[Application]
Pair Product=Hello64.exe
Pair Return Code=Yes
Override WorkingDir=Yes
Output File=logs\hello-out.txt

[Java Runtime Environment]
Main Class=com.example.hello.Main
Virtual Machine Parameters=-Xmx25P

[Class Path]
Class Path=lib\*.jar
INI
done

orvo_start_display
orvo_prepare_prefix
echo "demo: starting $demo/app/Hello.exe"
set +e
wine "$demo/app/Hello.exe" "first argument" second
code=$?
set -e
echo "demo: exit code $code"
if [ -f "$demo/app/logs/hello-out.txt" ]; then
  echo "demo: the Java program printed:"
  sed 's/^/    /' "$demo/app/logs/hello-out.txt"
else
  echo "demo: the Java program printed nothing (no Java runtime was started)"
fi
