package dev.orvo.pack;

import static org.junit.jupiter.api.Assertions.assertEquals;
import static org.junit.jupiter.api.Assertions.assertThrows;

import dev.orvo.pack.ManifestSettings.CodePage;
import java.util.Optional;
import java.util.stream.Stream;
import org.junit.jupiter.api.Test;
import org.junit.jupiter.params.ParameterizedTest;
import org.junit.jupiter.params.provider.Arguments;
import org.junit.jupiter.params.provider.MethodSource;
import org.junit.jupiter.params.provider.ValueSource;

/** The code page and long-path settings written into a manifest's windowsSettings element. */
final class ManifestSettingsTest {
    private static final String UTF8 =
            "<activeCodePage xmlns=\"http://schemas.microsoft.com/SMI/2019/WindowsSettings\">UTF-8</activeCodePage>";
    private static final String LONG =
            "<longPathAware xmlns=\"http://schemas.microsoft.com/SMI/2016/WindowsSettings\">true</longPathAware>";
    private static final String UTF8_LINE = "      " + UTF8 + "\n";
    private static final String LONG_LINE = "      " + LONG + "\n";
    /** The launcher's own layout: the settings element indented, one child per line. */
    private static final String OWN = own("");

    private static String own(String added) {
        return "<application>\n    <windowsSettings>\n      <dpiAware>true</dpiAware>\n" + added
                + "    </windowsSettings>\n</application>";
    }

    /** A change as the command line gives it: "utf-8", "system" or "-" for the code page, "+long" for long paths. */
    private static String changed(String manifest, String change) {
        final String[] parts = change.split(" ");
        final Optional<CodePage> codePage = parts[0].equals("-") ? Optional.empty() : ManifestSettings.parseCodePage(parts[0]);
        return ManifestSettings.withWindowsSettings(manifest, codePage, parts.length > 1);
    }

    static Stream<Arguments> changes() {
        return Stream.of(
                Arguments.of(OWN, "utf-8", own(UTF8_LINE)),
                Arguments.of(OWN, "utf-8 +long", own(UTF8_LINE + LONG_LINE)),
                Arguments.of(OWN, "- +long", own(LONG_LINE)),
                // Packing again moves nothing and piles nothing up; "system" takes it out again.
                Arguments.of(own(UTF8_LINE), "utf-8", own(UTF8_LINE)),
                Arguments.of(own(UTF8_LINE + LONG_LINE), "system", own(LONG_LINE)),
                Arguments.of(own(UTF8_LINE), "- +long", own(UTF8_LINE + LONG_LINE)),
                Arguments.of(OWN, "system", OWN),
                // Another writer's element of the same name, whatever its form, gives way.
                Arguments.of(own("      <ws:activeCodePage xmlns:ws=\"x\">Legacy</ws:activeCodePage>\n"), "utf-8", own(UTF8_LINE)),
                Arguments.of(own("\t<activeCodePage/>  \n"), "system", OWN),
                // Windows line ends and a prefixed element; a line is taken whole with its end.
                Arguments.of("<a>\r\n  <v3:windowsSettings>\r\n    <activeCodePage>UTF-8</activeCodePage>\r\n  </v3:windowsSettings>\r\n</a>",
                        "- +long",
                        "<a>\r\n  <v3:windowsSettings>\r\n    <activeCodePage>UTF-8</activeCodePage>\r\n    " + LONG
                                + "\r\n  </v3:windowsSettings>\r\n</a>"),
                // All on one line: the element goes right before the closing tag, and one that
                // shares its line with others leaves only itself.
                Arguments.of("<windowsSettings><dpiAware>true</dpiAware></windowsSettings>", "utf-8",
                        "<windowsSettings><dpiAware>true</dpiAware>" + UTF8 + "</windowsSettings>"),
                Arguments.of("<windowsSettings> <activeCodePage>UTF-8</activeCodePage><x/></windowsSettings>", "system",
                        "<windowsSettings> <x/></windowsSettings>"),
                // Two to take out, the second right after the first's line: each goes with its own line.
                Arguments.of("<windowsSettings>\n  <activeCodePage/>\n\t<x:activeCodePage>a</x:activeCodePage>\r\n</windowsSettings>",
                        "system", "<windowsSettings>\n</windowsSettings>"),
                // Names outside the element, in a comment or in text are left alone.
                Arguments.of("<!-- activeCodePage --><activeCodePage>UTF-8</activeCodePage><windowsSettings>activeCodePage</windowsSettings>",
                        "system",
                        "<!-- activeCodePage --><activeCodePage>UTF-8</activeCodePage><windowsSettings>activeCodePage</windowsSettings>"));
    }

    @ParameterizedTest
    @MethodSource("changes")
    void writesEachSettingOnceInsideWindowsSettings(String manifest, String change, String expected) {
        assertEquals(expected, changed(manifest, change));
    }

    @ParameterizedTest
    @ValueSource(strings = {"<assembly/>", "<windowsSettings/>", "<windowsSettings >", "<windowsSettings",
        "<windowsSettingsX></windowsSettingsX>", "<windowsSettings><activeCodePage>UTF-8</windowsSettings>",
        // A tag cut short: an element put after it would be swallowed by it, or one taken
        // out before it would turn it into another.
        "<windowsSettings><longPathAware x</windowsSettings>",
        "<windowsSettings><activeCodePage<activeCodePage/> x></windowsSettings>",
        "<windowsSettings><activeCodePage><x>UTF-8</x></activeCodePage></windowsSettings>"})
    void refusesAManifestWithNoPlaceForThem(String manifest) {
        assertThrows(PackError.class, () -> changed(manifest, "utf-8 +long"));
    }

    @Test
    void readsTheCodePageOptionInAsciiLetterCaseOnly() {
        assertEquals(Optional.of(CodePage.UTF_8), ManifestSettings.parseCodePage("UTF-8"));
        assertEquals(Optional.of(CodePage.SYSTEM), ManifestSettings.parseCodePage("System"));
        // "\u017F" (long s) is "S" in upper case for Java's equalsIgnoreCase, but not for the native tool.
        for (String text : new String[] {"", "utf8", "65001", "system ", "\u017Fystem"}) {
            assertEquals(Optional.empty(), ManifestSettings.parseCodePage(text), text);
        }
    }

    /** Many elements to take out, and many names that are none: one pass, not one per element. */
    @Test
    void changesALongManifestInOnePass() {
        final String line = "  <activeCodePage/>\n";
        final String manifest = "<windowsSettings>\n" + line.repeat(20000) + "p:activeCodePage ".repeat(20000) + "</windowsSettings>";
        final long start = System.nanoTime();
        final String result = changed(manifest, "system");
        System.out.printf("[ timing ] a manifest of %d bytes: %d ms%n", manifest.length(), (System.nanoTime() - start) / 1_000_000);
        assertEquals(-1, result.indexOf("<activeCodePage/>"));
        assertEquals(manifest.length() - 20000 * line.length(), result.length());
    }
}
