#!/usr/bin/env bash
# Writes the release: build/dist/orvo-<version>/ and build/dist/orvo-<version>.zip with
# the launchers (windowed and console), the native packer for Linux and Windows, the packer jar, the Maven
# plugin with its POM, sources and javadoc in a Maven repository layout, the license,
# the docs, the Maven sample and SHA-256 sums of every file. Needs `make build`.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
version=$(cat "$root/VERSION")
dist="$root/build/dist"
release="$dist/orvo-$version"

for needed in "$root/build/i686/orvo.exe" "$root/build/x86_64/orvo64.exe" "$root/build/i686/orvoc.exe" \
              "$root/build/x86_64/orvoc64.exe" "$root/build/native/orvo-pack" \
              "$root/build/x86_64/orvo-pack.exe"; do
  [ -e "$needed" ] || { echo "dist: $needed is missing; run 'make build' first" >&2; exit 1; }
done
rm -rf "$release" "$release.zip"
mkdir -p "$release/launchers" "$release/bin" "$release/maven" "$release/samples"

cp "$root/build/i686/orvo.exe" "$root/build/x86_64/orvo64.exe" "$root/build/i686/orvoc.exe" \
   "$root/build/x86_64/orvoc64.exe" "$release/launchers/"
cp "$root/build/native/orvo-pack" "$release/bin/orvo-pack"
cp "$root/build/x86_64/orvo-pack.exe" "$release/bin/orvo-pack.exe"

# The Java artifacts as a Maven repository holds them: POMs (with license and SCM),
# jars, sources and javadoc, ready to be copied or deployed to a public repository.
mvn --batch-mode -f "$root/java/pom.xml" -Drevision="$version" -P release -DskipTests \
  -DaltDeploymentRepository="dist::file://$release/maven" deploy >"$dist/maven-deploy.log" 2>&1 \
  || { tail -n 40 "$dist/maven-deploy.log"; exit 1; }
cp "$root/build/java/orvo-pack/orvo-pack.jar" "$release/bin/orvo-pack.jar"

cp "$root/LICENSE" "$root/README.md" "$release/"
cp -r "$root/docs" "$release/docs"
cp -r "$root/samples/maven" "$release/samples/maven"
rm -rf "$release/samples/maven/target"
sed -i "s|<version>\${orvo.version}</version>|<version>$version</version>|" "$release/samples/maven/pom.xml"
{
  echo "Orvo $version"
  echo "source: $(git -C "$root" rev-parse HEAD 2>/dev/null || echo unknown)"
  echo "built: $(date -u +%Y-%m-%dT%H:%M:%SZ)"
} > "$release/BUILD-INFO.txt"

# The list is made before SHA256SUMS is written, so that it never lists itself.
(cd "$release" && rm -f SHA256SUMS && files=$(find . -type f -printf '%P\n' | LC_ALL=C sort) &&
  xargs -d '\n' sha256sum <<<"$files" > SHA256SUMS)
(cd "$dist" && python3 -m zipfile -c "orvo-$version.zip" "orvo-$version")
echo "dist: wrote $release and $release.zip ($(stat -c %s "$release.zip") bytes, $(wc -l < "$release/SHA256SUMS") files)"
