package dev.orvo.pack;

import static org.junit.jupiter.api.Assertions.assertArrayEquals;
import static org.junit.jupiter.api.Assertions.assertEquals;
import static org.junit.jupiter.api.Assertions.assertThrows;
import static org.junit.jupiter.api.Assertions.assertTimeoutPreemptively;
import static org.junit.jupiter.api.Assertions.assertTrue;

import java.io.ByteArrayOutputStream;
import java.io.IOException;
import java.nio.charset.StandardCharsets;
import java.nio.file.Files;
import java.nio.file.Path;
import java.time.Duration;
import java.util.ArrayList;
import java.util.Arrays;
import java.util.List;
import java.util.jar.JarEntry;
import java.util.jar.JarFile;
import java.util.jar.JarOutputStream;
import java.util.jar.Manifest;
import org.junit.jupiter.api.Test;
import org.junit.jupiter.api.io.TempDir;

final class PackerTest {
    private static List<ResourceLeaf> launcherResources() {
        final String manifest = "<assembly><requestedExecutionLevel level=\"asInvoker\" uiAccess=\"false\"/></assembly>";
        final List<ResourceLeaf> leaves = new ArrayList<>();
        leaves.add(new ResourceLeaf(ResourceId.number(ResourceLeaf.MANIFEST), ResourceId.number(1), 0x409, 0,
                manifest.getBytes(StandardCharsets.US_ASCII)));
        leaves.add(new ResourceLeaf(ResourceId.number(6), ResourceId.number(13), 0x409, 0, SyntheticPe.filled(64, 4)));
        return leaves;
    }

    private static byte[] jarOf(String entry, String content) throws IOException {
        final ByteArrayOutputStream bytes = new ByteArrayOutputStream();
        final Manifest manifest = new Manifest();
        manifest.getMainAttributes().putValue("Manifest-Version", "1.0");
        try (JarOutputStream jar = new JarOutputStream(bytes, manifest)) {
            jar.putNextEntry(new JarEntry(entry));
            jar.write(content.getBytes(StandardCharsets.UTF_8));
        }
        return bytes.toByteArray();
    }

    // The JDK's own archive reader must open the executable as the jar it carries, signed
    // or not: that is how the launcher puts it on the class path.
    @Test
    void theExecutableOpensAsTheJarItCarries(@TempDir Path folder) throws IOException {
        final byte[] launcher = SyntheticPe.launcherLike(launcherResources());
        final PackResult result = Packer.pack(new PackInputs(new InputFile("orvo64.exe", launcher))
                .jar(new InputFile("app.jar", jarOf("app/Main.class", "cafebabe")))
                .config(new InputFile("app.ini", "[Java Runtime Environment]\nMain Class=app.Main\n".getBytes(StandardCharsets.UTF_8)))
                .version(new VersionInfo(VersionNumber.parse("1.4.2").get()).with("ProductName", "My App"))
                .requireAdministrator(true));
        final byte[] executable = result.executable();
        final Path signed = folder.resolve("MyApp.exe");
        final byte[] withSignature = Arrays.copyOf(executable, executable.length + 1024);
        Files.write(signed, withSignature);
        try (JarFile jar = new JarFile(signed.toFile())) {
            assertEquals("cafebabe", new String(jar.getInputStream(jar.getEntry("app/Main.class")).readAllBytes(),
                    StandardCharsets.UTF_8));
        }
        final PeImage image = PeImage.parse(ByteView.of(executable));
        assertEquals(PeWriter.checksum(executable, image.checksumOffset()), ByteView.of(executable).u32(image.checksumOffset()));
        final String config = EmbeddedConfig.find(readResources(executable)).get();
        assertEquals("[Java Runtime Environment]\r\nMain Class=app.Main\r\n[Application]\r\nEmbedded Jar=Yes\r\n", config);
        assertTrue(result.notes().isEmpty());
    }

    @Test
    void packingAPackedExecutableAgainGivesTheSameBytes() throws IOException {
        final PackInputs first = new PackInputs(new InputFile("orvo64.exe", SyntheticPe.launcherLike(launcherResources())))
                .jar(new InputFile("app.jar", jarOf("a/B.class", "x")));
        final byte[] once = Packer.pack(first).executable();
        assertArrayEquals(once, Packer.pack(new PackInputs(new InputFile("MyApp.exe", once))).executable());
    }

    // Tables that point back at shared tables must not multiply into a walk of billions
    // of entries: 65535 types all naming one table of 65535 names, each naming one empty table.
    @Test
    void aDirectoryOfSharedTablesIsRefusedAtOnce() {
        final byte[] launcher = SyntheticPe.build(rva -> {
            final int entries = 0xFFFF;
            final ByteBuilder section = new ByteBuilder(16 + 8L * entries + 16 + 8L * entries + 16);
            final long typeTable = 16 + 8L * entries;
            final long emptyTable = typeTable + 16 + 8L * entries;
            for (long table : new long[] {0, typeTable}) {
                section.putU16(table + 14, entries);
                for (int i = 0; i < entries; ++i) {
                    section.putU32(table + 16 + 8L * i, i + 1);
                    section.putU32(table + 20 + 8L * i, (table == 0 ? typeTable : emptyTable) | 0x80000000L);
                }
            }
            return section.toArray();
        });
        final PackError error = assertTimeoutPreemptively(Duration.ofSeconds(30), () ->
                assertThrows(PackError.class, () -> Packer.pack(new PackInputs(new InputFile("hostile.exe", launcher)))));
        assertTrue(error.getMessage().startsWith("hostile.exe: "), error.getMessage());
        assertEquals(ExitStatus.BAD_INPUT, error.status());
    }

    private static List<ResourceLeaf> readResources(byte[] executable) {
        final PeImage image = PeImage.parse(ByteView.of(executable));
        final PeSection section = image.sections().get(PeWriter.resourceSectionIndex(image));
        return ResourceDirectoryReader.read(ByteView.of(executable).sub(section.rawOffset, section.rawSize), section.virtualAddress);
    }
}
