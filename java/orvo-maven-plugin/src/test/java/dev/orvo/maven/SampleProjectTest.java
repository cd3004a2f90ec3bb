package dev.orvo.maven;

import static org.junit.jupiter.api.Assertions.assertArrayEquals;
import static org.junit.jupiter.api.Assertions.assertEquals;
import static org.junit.jupiter.api.Assertions.assertNotNull;
import static org.junit.jupiter.api.Assertions.assertTrue;

import java.io.IOException;
import java.nio.ByteBuffer;
import java.nio.ByteOrder;
import java.nio.charset.StandardCharsets;
import java.nio.file.Files;
import java.nio.file.Path;
import java.nio.file.Paths;
import java.nio.file.StandardCopyOption;
import java.util.ArrayList;
import java.util.Comparator;
import java.util.List;
import java.util.stream.Collectors;
import java.util.stream.Stream;
import org.junit.jupiter.api.Tag;
import org.junit.jupiter.api.Test;

/**
 * The sample Maven project, built with the plugin of this build from the local Maven
 * repository: `mvn package` leaves target/hello.exe, which runs under wine on a real
 * Java runtime and prints what the program prints; a second build from a fresh copy
 * gives the same bytes. Needs the wine prefix and display of scripts/java-tests.sh.
 */
@Tag("integration")
final class SampleProjectTest {
    private static final Path ROOT = Paths.get(System.getProperty("orvo.root")).toAbsolutePath().normalize();
    private static final Path WORK = ROOT.resolve("build/java/sample");
    private static final long MAVEN_LIMIT_SECONDS = 600;
    private static final long LAUNCH_LIMIT_SECONDS = 120;

    @Test
    void mvnPackageLeavesAnExecutableThatRunsTheProgram() throws Exception {
        assertNotNull(System.getenv("WINEPREFIX"), "no wine prefix: run this test through scripts/java-tests.sh");
        deleteTree(WORK);
        final byte[] first = build("first", "package");
        // The second build deploys to a folder: the executable goes along as an artifact of its own.
        final byte[] second = build("second", "deploy", "-DaltDeploymentRepository=local::file://" + WORK.resolve("repository"));
        assertArrayEquals(first, second, "two builds of the same sources gave different executables");
        try (Stream<Path> deployed = Files.walk(WORK.resolve("repository"))) {
            assertTrue(deployed.anyMatch(path -> path.getFileName().toString().matches("hello-1\\.4\\.2-.*\\.exe")),
                    "no executable among the deployed artifacts");
        }

        final String text = new String(first, StandardCharsets.UTF_16LE) + new String(first, 1, first.length - 1,
                StandardCharsets.UTF_16LE);
        for (String shown : new String[] {"1.4.2.0", "Hello", "Example Ltd", "hello.exe"}) {
            assertTrue(text.contains(shown), "the version resource lacks " + shown);
        }

        final Path target = WORK.resolve("first/target");
        Files.createSymbolicLink(target.resolve("jre"), ROOT.resolve("build/runtime/jdk"));
        final Command run = Command.run(List.of("wine", target.resolve("hello.exe").toString(), "first argument", "second"),
                target, LAUNCH_LIMIT_SECONDS);
        assertEquals(0, run.status, run.output);
        assertTrue(run.output.contains("Hello from a Maven build, on Java "), run.output);
        assertTrue(run.output.contains("Arguments: first argument | second"), run.output);
    }

    // The 32-bit executable finds the 64-bit runtime beside it and hands the launch to its pair.
    @Test
    void theThirtyTwoBitExecutableHandsOverToItsPair() throws Exception {
        final Path project = WORK.resolve("pair");
        final Command maven = mavenOnFreshCopy(project, "-Dorvo.architecture=x86+x64", "package");
        assertEquals(0, maven.status, maven.output);
        final Path target = project.resolve("target");
        assertTrue(Files.isRegularFile(target.resolve("hello64.exe")), maven.output);
        Files.createSymbolicLink(target.resolve("jre"), ROOT.resolve("build/runtime/jdk"));
        final Command run = Command.run(List.of("wine", target.resolve("hello.exe").toString(), "paired"), target,
                LAUNCH_LIMIT_SECONDS);
        assertEquals(0, run.status, run.output);
        assertTrue(run.output.contains("Arguments: paired"), run.output);
    }

    // kind=console starts from the console launcher: the executable is marked for the console.
    @Test
    void theConsoleKindIsAConsoleProgram() throws Exception {
        final Path project = WORK.resolve("console");
        final Command maven = mavenOnFreshCopy(project, "-Dorvo.kind=console", "package");
        assertEquals(0, maven.status, maven.output);
        final Path target = project.resolve("target");
        final ByteBuffer exe = ByteBuffer.wrap(Files.readAllBytes(target.resolve("hello.exe"))).order(ByteOrder.LITTLE_ENDIAN);
        final int subsystemAt = exe.getInt(0x3C) + 24 + 68;
        assertEquals(3, exe.getShort(subsystemAt), "the executable is not marked for the console subsystem");
        Files.createSymbolicLink(target.resolve("jre"), ROOT.resolve("build/runtime/jdk"));
        final Command run = Command.run(List.of("wine", target.resolve("hello.exe").toString(), "at a prompt"), target,
                LAUNCH_LIMIT_SECONDS);
        assertEquals(0, run.status, run.output);
        assertTrue(run.output.contains("Arguments: at a prompt"), run.output);
    }

    @Test
    void theCodePageAndLongPathSettingsReachTheManifest() throws Exception {
        final Path project = WORK.resolve("utf-8");
        final Command maven = mavenOnFreshCopy(project, "-Dorvo.codePage=utf-8", "-Dorvo.longPaths=true", "package");
        assertEquals(0, maven.status, maven.output);
        final String bytes = new String(Files.readAllBytes(project.resolve("target/hello.exe")), StandardCharsets.ISO_8859_1);
        assertTrue(bytes.contains(">UTF-8</activeCodePage>"), "no UTF-8 code page in the manifest");
        assertTrue(bytes.contains(">true</longPathAware>"), "no long-path awareness in the manifest");
    }

    @Test
    void aBadInputFailsTheBuildWithThePackersMessage() throws Exception {
        final Path project = WORK.resolve("bad-icon");
        final Command maven = mavenOnFreshCopy(project, "-Dorvo.icon=pom.xml", "package");
        assertEquals(1, maven.status, maven.output);
        assertTrue(maven.output.contains("orvo-pack: " + project.resolve("pom.xml") + ": not an icon file"), maven.output);
        assertTrue(Files.notExists(project.resolve("target/hello.exe")));
    }

    /** Builds a fresh copy of the sample in WORK/{@code name} and gives its executable's bytes. */
    private static byte[] build(String name, String... goals) throws Exception {
        final Path project = WORK.resolve(name);
        final Command maven = mavenOnFreshCopy(project, goals);
        assertEquals(0, maven.status, maven.output);
        System.out.printf("sample: mvn %s (%s copy) took %.1f s%n", String.join(" ", goals), name, maven.milliseconds / 1000.0);
        assertTrue(maven.output.contains("Packed " + project.resolve("target/hello.exe")), maven.output);
        return Files.readAllBytes(project.resolve("target/hello.exe"));
    }

    /** Copies the sample into {@code project} (anew) and runs Maven there with this build's plugin. */
    private static Command mavenOnFreshCopy(Path project, String... arguments) throws Exception {
        deleteTree(project);
        copyTree(ROOT.resolve("samples/maven"), project);
        final List<String> command = new ArrayList<>(List.of("mvn", "--batch-mode", "--no-transfer-progress",
                "-Dorvo.version=" + System.getProperty("orvo.version")));
        command.addAll(List.of(arguments));
        return Command.run(command, project, MAVEN_LIMIT_SECONDS);
    }

    private static void copyTree(Path from, Path to) throws IOException {
        try (Stream<Path> walk = Files.walk(from)) {
            for (Path path : walk.collect(Collectors.toList())) {
                final Path copy = to.resolve(from.relativize(path).toString());
                if (path.startsWith(from.resolve("target"))) {
                    continue;
                }
                if (Files.isDirectory(path)) {
                    Files.createDirectories(copy);
                } else {
                    Files.copy(path, copy, StandardCopyOption.REPLACE_EXISTING);
                }
            }
        }
    }

    private static void deleteTree(Path folder) throws IOException {
        if (!Files.exists(folder)) {
            return;
        }
        try (Stream<Path> walk = Files.walk(folder)) {
            for (Path path : walk.sorted(Comparator.reverseOrder()).collect(Collectors.toList())) {
                Files.delete(path);
            }
        }
    }
}
