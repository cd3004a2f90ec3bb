package dev.orvo.pack;

import static org.junit.jupiter.api.Assertions.assertArrayEquals;
import static org.junit.jupiter.api.Assertions.assertEquals;
import static org.junit.jupiter.api.Assertions.assertTrue;

import java.io.ByteArrayOutputStream;
import java.io.IOException;
import java.nio.file.Files;
import java.nio.file.Path;
import java.nio.file.Paths;
import java.util.ArrayList;
import java.util.List;
import java.util.zip.ZipEntry;
import java.util.zip.ZipOutputStream;
import org.junit.jupiter.api.Tag;
import org.junit.jupiter.api.Test;
import org.junit.jupiter.api.io.TempDir;

/**
 * orvo-pack.jar run the way the README's Gradle recipe runs it: a JavaExec task starts
 * "java -cp orvo-pack.jar dev.orvo.pack.OrvoPack" with the recipe's arguments. It must
 * write what the packer writes when called as a library; "java -jar" must run it too.
 */
@Tag("integration")
final class GradleRecipeTest {
    private static final Path ROOT = Paths.get(System.getProperty("orvo.root", "../..")).toAbsolutePath().normalize();
    private static final Path JAR = Paths.get(System.getProperty("orvo.packJar"));

    @Test
    void theRecipesCommandWritesWhatTheLibraryWrites(@TempDir Path project) throws Exception {
        assertTrue(Files.isRegularFile(JAR), JAR + " is missing: run make build first");
        final Path jar = project.resolve("build/libs/app.jar");
        Files.createDirectories(jar.getParent());
        Files.write(jar, appJar());
        final Path config = project.resolve("src/main/windows/MyApp.ini");
        Files.createDirectories(config.getParent());
        Files.writeString(config, "[Java Runtime Environment]\nMain Class=app.Main\n");
        final Path out = project.resolve("build/windows/MyApp.exe");
        Files.createDirectories(out.getParent());
        final List<String> arguments = List.of("--launcher", ROOT.resolve("build/x86_64/orvo64.exe").toString(),
                "--out", out.toString(), "--jar", jar.toString(), "--config", config.toString(),
                "--icon", ROOT.resolve("samples/hello/hello.ico").toString(), "--version", "1.4.2.0",
                "--product-name", "My App", "--company", "Example Ltd");

        final List<String> javaExec = new ArrayList<>(List.of(java(), "-cp", JAR.toString(), "dev.orvo.pack.OrvoPack"));
        final PackerRun recipe = PackerRun.program(javaExec, arguments, out, project);
        assertEquals(0, recipe.status, recipe.error);
        assertEquals("", recipe.error);
        final PackerRun library = PackerRun.inProcess(arguments, out);
        assertArrayEquals(library.written, recipe.written);

        final PackerRun help = PackerRun.program(List.of(java(), "-jar", JAR.toString()), List.of("--help"), out, project);
        assertEquals(0, help.status);
        assertEquals(PackOptions.USAGE, help.out);
        final PackerRun wrong = PackerRun.program(List.of(java(), "-jar", JAR.toString()), List.of("--launcher", "x"), out, project);
        assertEquals(2, wrong.status);
        assertEquals("orvo-pack: --launcher and --out are required (see --help)\n", wrong.error);
    }

    private static String java() {
        return ProcessHandle.current().info().command().orElse("java");
    }

    private static byte[] appJar() throws IOException {
        final ByteArrayOutputStream bytes = new ByteArrayOutputStream();
        try (ZipOutputStream zip = new ZipOutputStream(bytes)) {
            zip.putNextEntry(new ZipEntry("app/Main.class"));
            zip.write(new byte[] {(byte) 0xCA, (byte) 0xFE, (byte) 0xBA, (byte) 0xBE});
        }
        return bytes.toByteArray();
    }
}
