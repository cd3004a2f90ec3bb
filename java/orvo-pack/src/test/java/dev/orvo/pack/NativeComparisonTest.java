package dev.orvo.pack;

import static org.junit.jupiter.api.Assertions.assertArrayEquals;
import static org.junit.jupiter.api.Assertions.assertEquals;
import static org.junit.jupiter.api.Assertions.assertTimeoutPreemptively;
import static org.junit.jupiter.api.Assertions.assertTrue;

import java.io.IOException;
import java.nio.charset.StandardCharsets;
import java.nio.file.Files;
import java.nio.file.Path;
import java.nio.file.Paths;
import java.time.Duration;
import java.util.ArrayList;
import java.util.Arrays;
import java.util.Comparator;
import java.util.List;
import java.util.Random;
import java.util.stream.Collectors;
import java.util.stream.IntStream;
import java.util.stream.Stream;
import org.junit.jupiter.api.AfterAll;
import org.junit.jupiter.api.BeforeAll;
import org.junit.jupiter.api.DynamicTest;
import org.junit.jupiter.api.Tag;
import org.junit.jupiter.api.TestFactory;

/**
 * The Java packer and the native orvo-pack, run over the same command lines, must exit
 * alike, print alike and write the same bytes. The inputs: those of the native tool's
 * tests (written by its helper pack_test_inputs), the fuzz seed corpora, the launchers
 * and the sample's icon of this build, and seeded mutations of them, the launchers'
 * manifests among them.
 */
@Tag("differential")
final class NativeComparisonTest {
    private static final Path ROOT = Paths.get(System.getProperty("orvo.root", "../..")).toAbsolutePath().normalize();
    /** The native build to compare with: this tree's unless orvo.nativeBuild names another. */
    private static final Path NATIVE_BUILD = Paths.get(System.getProperty("orvo.nativeBuild", ROOT.resolve("build/native").toString()));
    private static final Path NATIVE = NATIVE_BUILD.resolve("orvo-pack");
    private static final Path INPUT_WRITER = NATIVE_BUILD.resolve("orvo_pack_test_inputs");
    private static final Path WORK = ROOT.resolve("build/java/differential");
    private static final Path INPUTS = WORK.resolve("inputs");
    private static final Path MUTANTS = WORK.resolve("mutants");
    private static final Path OUT_FOLDER = WORK.resolve("out");
    private static final Path OUT = OUT_FOLDER.resolve("MyApp.exe");
    private static final int MUTANTS_PER_FILE = 48;
    /** The code page and long-path options, alone and together, in the forms the command line takes. */
    private static final List<List<String>> SETTINGS = List.of(List.of("--code-page", "utf-8"),
            List.of("--code-page", "system"), List.of("--long-paths"), List.of("--code-page=UTF-8", "--long-paths"),
            List.of("--long-paths", "--code-page", "SYSTEM"));
    private static final String DPI_AWARENESS = "<dpiAwareness xmlns=\"http://schemas.microsoft.com/SMI/2016/WindowsSettings\">"
            + "PerMonitorV2,PerMonitor</dpiAwareness>";
    private static final String DESCRIPTION = "<description>Orvo Java application launcher</description>";

    private static int caseCount;

    @BeforeAll
    static void writeInputs() throws Exception {
        assertTrue(Files.isExecutable(NATIVE), NATIVE + " is missing: run make build first");
        assertTrue(Files.isExecutable(INPUT_WRITER), INPUT_WRITER + " is missing: run make build first");
        deleteTree(WORK);
        Files.createDirectories(OUT_FOLDER);
        Files.createDirectories(MUTANTS);
        final Process writer = new ProcessBuilder(INPUT_WRITER.toString(), INPUTS.toString()).inheritIO().start();
        assertEquals(0, writer.waitFor(), "pack_test_inputs failed");
    }

    @AfterAll
    static void report() throws IOException {
        try (Stream<Path> inputs = Stream.concat(Files.list(INPUTS), Files.list(MUTANTS))) {
            System.out.println("native comparison: " + caseCount + " command lines over "
                    + (inputs.count() + corpus("").size() + 3) + " input files");
        }
    }

    @TestFactory
    Stream<DynamicTest> bothPackersDoTheSame() throws IOException {
        final List<List<String>> cases = new ArrayList<>();
        addRoleCases(cases);
        addUsageCases(cases);
        addFileAccessCases(cases);
        addOutputCases(cases);
        addMutantCases(cases);
        addManifestCases(cases);
        caseCount = cases.size();
        return IntStream.range(0, cases.size()).mapToObj(i -> DynamicTest.dynamicTest(
                "#" + (i + 1) + " " + shown(cases.get(i)), () -> compare(cases.get(i))));
    }

    private static void compare(List<String> arguments) throws Exception {
        final Path out = outputOf(arguments);
        final OutputState before = OutputState.prepare(out);
        final PackerRun expected = PackerRun.program(List.of(NATIVE.toString()), arguments, out, WORK);
        final OutputState afterNative = OutputState.of(out);
        before.restore(out);
        final PackerRun actual = assertTimeoutPreemptively(Duration.ofSeconds(60), () -> PackerRun.inProcess(arguments, out));
        final OutputState afterJava = OutputState.of(out);
        before.remove(out);
        assertEquals(expected.error, actual.error, "standard error");
        assertEquals(expected.out, actual.out, "standard output");
        assertEquals(expected.status, actual.status, "exit status");
        assertEquals(expected.written == null, actual.written == null, "whether an executable was written");
        if (expected.written != null) {
            assertArrayEquals(expected.written, actual.written, "the executable's bytes");
        }
        assertEquals(afterNative, afterJava, "what is at the output's path afterwards");
        try (Stream<Path> left = Files.list(OUT_FOLDER)) {
            assertEquals(List.of(), left.collect(Collectors.toList()), "files left beside the output");
        }
    }

    private static Path outputOf(List<String> arguments) {
        final int at = arguments.indexOf("--out");
        return at >= 0 && at + 1 < arguments.size() ? Paths.get(arguments.get(at + 1)) : OUT;
    }

    private static List<String> full(String launcher) {
        return List.of("--launcher", launcher, "--out", OUT.toString(), "--icon", input("icon-all-sizes.ico"),
                "--version", "1.4.2.0", "--product-name", "My App", "--company", "The Company", "--description",
                "Does things", "--copyright", "(c) 2026 The Company", "--config", input("config-lf.ini"), "--jar",
                input("jar-one-entry.jar"), "--require-admin");
    }

    private static List<String> with(String launcher, String... options) {
        final List<String> arguments = new ArrayList<>(List.of("--launcher", launcher, "--out", OUT.toString()));
        arguments.addAll(Arrays.asList(options));
        return arguments;
    }

    /** Every input in the role its name gives, alone and among the others. */
    private static void addRoleCases(List<List<String>> cases) throws IOException {
        final List<String> launchers = new ArrayList<>(named("launcher"));
        launchers.add(ROOT.resolve("build/i686/orvo.exe").toString());
        launchers.add(ROOT.resolve("build/x86_64/orvo64.exe").toString());
        launchers.addAll(corpus("pack_pe_image"));
        for (String launcher : launchers) {
            cases.add(with(launcher));
            cases.add(full(launcher));
            cases.add(with(launcher, "--jar", input("jar-with-comment.jar")));
            cases.add(with(launcher, "--config", input("config-crlf.ini"), "--icon", ROOT.resolve("samples/hello/hello.ico").toString()));
            cases.add(with(launcher, "--version=2.0", "--product-name=Ünïcode Äpp ☕"));
            for (List<String> settings : SETTINGS) {
                cases.add(with(launcher, settings.toArray(String[]::new)));
            }
            cases.add(with(launcher, "--console"));
            cases.add(with(launcher, "--windows", "--long-paths"));
            final List<String> all = new ArrayList<>(full(launcher));
            all.addAll(List.of("--code-page", "utf-8", "--long-paths", "--console"));
            cases.add(all);
        }
        final String launcher = input("launcher-64.exe");
        final List<String> icons = new ArrayList<>(named("icon"));
        icons.addAll(corpus("pack_icon_file"));
        for (String icon : icons) {
            cases.add(with(launcher, "--icon", icon));
        }
        for (String config : named("config")) {
            cases.add(with(launcher, "--config", config));
            cases.add(with(input("launcher-packed.exe"), "--config", config, "--jar", input("jar-one-entry.jar")));
        }
        final List<String> jars = new ArrayList<>(named("jar"));
        jars.addAll(corpus("pack_zip_archive"));
        for (String jar : jars) {
            cases.add(with(launcher, "--jar", jar));
            cases.add(with(input("launcher-packed-signed.exe"), "--jar", jar));
        }
    }

    private static void addUsageCases(List<List<String>> cases) {
        final String launcher = input("launcher-64.exe");
        cases.add(List.of("--help"));
        cases.add(List.of("--launcher", launcher, "--help=please"));
        cases.add(List.of());
        cases.add(List.of("--launcher", launcher));
        cases.add(with(launcher, "--product-name", "X"));
        cases.add(with(launcher, "--version", "1.x"));
        cases.add(with(launcher, "--version", "1.2.3.4.5"));
        cases.add(with(launcher, "--version", ""));
        cases.add(with(launcher, "--version=65536"));
        cases.add(with(launcher, "--version=1..2"));
        cases.add(with(launcher, "--version=00001.2"));
        cases.add(with(launcher, "--icon"));
        cases.add(with(launcher, "--splash", "a.bmp"));
        cases.add(with(launcher, "--require-admin=yes"));
        cases.add(List.of("--launcher", "a", "--launcher", "b", "--out", OUT.toString()));
        cases.add(with(launcher, "--out", "twice.exe"));
        cases.add(with(input("launcher-absent.exe"), "--version", "bad"));
        cases.add(with(launcher, "--require-admin", "--require-admin", "--version", "1", "--company", "=equals=inside="));
        cases.add(with(launcher, "--code-page", "utf8"));
        cases.add(with(launcher, "--code-page="));
        cases.add(with(launcher, "--code-page", "\u017Fystem"));
        cases.add(with(launcher, "--code-page", "utf-8", "--code-page", "system"));
        cases.add(with(launcher, "--code-page"));
        cases.add(with(launcher, "--long-paths=yes"));
        cases.add(with(launcher, "--long-paths", "--long-paths", "--code-page", "65001"));
        cases.add(with(input("launcher-absent.exe"), "--code-page", "ansi"));
        cases.add(with(launcher, "--console=yes"));
        cases.add(with(launcher, "--console", "--console", "--windows"));
    }

    private static void addFileAccessCases(List<List<String>> cases) {
        final String launcher = input("launcher-64.exe");
        cases.add(with(input("launcher-absent.exe")));
        cases.add(with(launcher, "--icon", input("icon-absent.ico")));
        cases.add(with(launcher, "--config", INPUTS.toString()));
        cases.add(List.of("--launcher", launcher, "--out", OUT_FOLDER.resolve("no-such-folder/MyApp.exe").toString()));
    }

    /** Outputs that must be refused or replaced with care (see OutputState). */
    private static void addOutputCases(List<List<String>> cases) {
        for (String name : OutputState.PREPARED) {
            cases.add(List.of("--launcher", input("launcher-64.exe"), "--out", OUT_FOLDER.resolve(name).toString()));
        }
    }

    /** Seeded changes of a few bytes, or a cut, in inputs that are read well. */
    private static void addMutantCases(List<List<String>> cases) throws IOException {
        final Random random = new Random(20261207);
        final List<String> launchers = List.of(input("launcher-64.exe"), input("launcher-packed-signed.exe"),
                ROOT.resolve("build/i686/orvo.exe").toString(), ROOT.resolve("build/x86_64/orvo64.exe").toString());
        for (String base : launchers) {
            for (String mutant : mutants(base, "launcher", random)) {
                cases.add(with(mutant, "--icon", input("icon-two-sizes.ico"), "--jar", input("jar-one-entry.jar")));
            }
        }
        for (String mutant : mutants(input("icon-all-sizes.ico"), "icon", random)) {
            cases.add(with(input("launcher-64.exe"), "--icon", mutant));
        }
        for (String mutant : mutants(input("jar-with-comment.jar"), "jar", random)) {
            cases.add(with(input("launcher-64.exe"), "--jar", mutant));
        }
        for (String mutant : mutants(input("config-application.ini"), "config", random)) {
            cases.add(with(input("launcher-packed.exe"), "--config", mutant));
        }
    }

    /**
     * The real launchers with their manifest changed in place (same length), by hand into
     * the forms other writers leave and by seeded changes of a few bytes in and around
     * its windowsSettings element, each packed with the code page and long-path options.
     */
    private static void addManifestCases(List<List<String>> cases) throws IOException {
        final Random random = new Random(20261208);
        final String[][] rewrites = {
            {DPI_AWARENESS, padded("<activeCodePage xmlns=\"http://schemas.microsoft.com/SMI/2019/WindowsSettings\">UTF-8</activeCodePage>")},
            {DPI_AWARENESS, padded("<ws:activeCodePage xmlns:ws=\"x\">Legacy</ws:activeCodePage><longPathAware/>")},
            {DPI_AWARENESS, padded("<activeCodePage/><activeCodePage>UTF-8</activeCodePage>\n<longPathAware>1</longPathAware>")},
            {DPI_AWARENESS, padded("<activeCodePage>UTF-8</windowsSettings>")},
            {DPI_AWARENESS, padded("<activeCodePage><x>UTF-8</x></activeCodePage>")},
            {"<dpiAware xmlns", "<dpiAware<xmlns"},
            {"PerMonitor</dpiAwareness>\n    </windowsSettings>\n", "PerMonit</dpiAwareness>\r\n    </windowsSettings>\r\n"},
            {"    </windowsSettings>", "\t\t  </windowsSettings>"},
            {"<windowsSettings>\n      <dpiAware", "<windowsSettings>       <dpiAware"},
            {"</dpiAwareness>\n    </windowsSettings>", "</dpiAwareness>     </windowsSettings>"},
            {"    <windowsSettings>", "<v3:windowsSettings>\t"},
            {"</windowsSettings>", "</windowsSettingz>"},
            {"    <windowsSettings>", "<windowsSettings/>   "},
            {DESCRIPTION, padded("<!-- <windowsSettings> -->", DESCRIPTION.length())},
        };
        for (String base : List.of(ROOT.resolve("build/i686/orvo.exe").toString(), ROOT.resolve("build/x86_64/orvo64.exe").toString())) {
            for (int i = 0; i < rewrites.length; ++i) {
                final String mutant = rewritten(base, "manifest-" + i, rewrites[i][0], rewrites[i][1]);
                for (List<String> settings : SETTINGS.subList(0, 3)) {
                    cases.add(with(mutant, settings.toArray(String[]::new)));
                }
            }
            for (String mutant : manifestMutants(base, random)) {
                cases.add(with(mutant, SETTINGS.get(random.nextInt(SETTINGS.size())).toArray(String[]::new)));
            }
        }
    }

    private static String padded(String text) {
        return padded(text, DPI_AWARENESS.length());
    }

    /** {@code text} with blanks after it up to {@code length} characters. */
    private static String padded(String text, int length) {
        assertTrue(text.length() <= length, text);
        return text + " ".repeat(length - text.length());
    }

    /** A copy of {@code base} with {@code from} (its first occurrence) replaced by {@code to} of the same length. */
    private static String rewritten(String base, String name, String from, String to) throws IOException {
        assertEquals(from.length(), to.length(), to);
        final String bytes = new String(Files.readAllBytes(Paths.get(base)), StandardCharsets.ISO_8859_1);
        final int at = bytes.indexOf(from);
        assertTrue(at >= 0, from + " is not in " + base);
        final Path mutant = MUTANTS.resolve(name + "-" + Paths.get(base).getFileName());
        Files.write(mutant, (bytes.substring(0, at) + to + bytes.substring(at + from.length())).getBytes(StandardCharsets.ISO_8859_1));
        return mutant.toString();
    }

    /** Seeded changes of a few bytes, to the characters that make and break tags, in and around windowsSettings. */
    private static List<String> manifestMutants(String base, Random random) throws IOException {
        final byte[] original = Files.readAllBytes(Paths.get(base));
        final String text = new String(original, StandardCharsets.ISO_8859_1);
        final int begin = text.indexOf("<application xmlns");
        final int end = text.indexOf("</assembly>", begin);
        assertTrue(begin >= 0 && end > begin, "no windowsSettings in the manifest of " + base);
        final byte[] alphabet = "<>/: \t\r\nax".getBytes(StandardCharsets.ISO_8859_1);
        final List<String> names = new ArrayList<>();
        for (int i = 0; i < MUTANTS_PER_FILE / 2; ++i) {
            final byte[] bytes = original.clone();
            for (int changes = 1 + random.nextInt(3); changes > 0; --changes) {
                bytes[begin + random.nextInt(end - begin)] = alphabet[random.nextInt(alphabet.length)];
            }
            final Path mutant = MUTANTS.resolve("manifest-" + Paths.get(base).getFileName() + "-" + i);
            Files.write(mutant, bytes);
            names.add(mutant.toString());
        }
        return names;
    }

    private static List<String> mutants(String base, String role, Random random) throws IOException {
        final byte[] original = Files.readAllBytes(Paths.get(base));
        final List<String> names = new ArrayList<>();
        for (int i = 0; i < MUTANTS_PER_FILE; ++i) {
            byte[] bytes = original.clone();
            if (i % 6 == 5) {
                bytes = Arrays.copyOf(bytes, random.nextInt(bytes.length));
            } else {
                // Mostly where headers and directories lie: the first few kilobytes.
                final int reach = Math.min(bytes.length, i % 2 == 0 ? 4096 : bytes.length);
                for (int changes = 1 + random.nextInt(4); changes > 0; --changes) {
                    bytes[random.nextInt(reach)] = (byte) random.nextInt(256);
                }
            }
            final Path mutant = MUTANTS.resolve(role + "-" + Paths.get(base).getFileName() + "-" + i);
            Files.write(mutant, bytes);
            names.add(mutant.toString());
        }
        return names;
    }

    private static String input(String name) {
        return INPUTS.resolve(name).toString();
    }

    private static List<String> named(String role) throws IOException {
        try (Stream<Path> files = Files.list(INPUTS)) {
            return files.filter(file -> file.getFileName().toString().startsWith(role + "-")).map(Path::toString).sorted()
                    .collect(Collectors.toList());
        }
    }

    /** The seed corpora of the fuzz targets whose name starts with pack_{@code target}. */
    private static List<String> corpus(String target) throws IOException {
        final List<String> files = new ArrayList<>();
        try (Stream<Path> folders = Files.list(ROOT.resolve("fuzz/corpus"))) {
            for (Path folder : folders.filter(f -> f.getFileName().toString().startsWith(target.isEmpty() ? "pack_" : target))
                    .collect(Collectors.toList())) {
                try (Stream<Path> inside = Files.list(folder)) {
                    inside.map(Path::toString).sorted().forEach(files::add);
                }
            }
        }
        return files;
    }

    private static String shown(List<String> arguments) {
        return arguments.stream().map(a -> a.replace(WORK.toString() + "/", "").replace(ROOT.toString() + "/", ""))
                .collect(Collectors.joining(" "));
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
