package dev.orvo.maven;

import static org.junit.jupiter.api.Assertions.assertArrayEquals;
import static org.junit.jupiter.api.Assertions.assertEquals;

import java.io.IOException;
import java.io.InputStream;
import java.nio.file.Files;
import java.nio.file.Path;
import java.nio.file.Paths;
import org.junit.jupiter.api.Test;
import org.junit.jupiter.params.ParameterizedTest;
import org.junit.jupiter.params.provider.CsvSource;

/** What the plugin takes from the project when the POM does not say. */
final class DefaultsTest {
    @ParameterizedTest
    @CsvSource({"1.4.2-SNAPSHOT, 1.4.2.0", "1.4.2, 1.4.2.0", "2, 2.0.0.0", "3.1.4.1.5, 3.1.4.1", "1.0-RC2, 1.0.0.0",
        "2024.01.0.beta1, 2024.1.0.0", "1.2.x, 1.2.0.0", "SNAPSHOT, 0.0.0.0", "1..2, 1.0.0.0", "10.0.0-alpha-1, 10.0.0.0"})
    void theProjectVersionBecomesAWindowsVersion(String projectVersion, String expected) {
        assertEquals(expected, WindowsVersion.of(projectVersion));
    }

    @ParameterizedTest
    @CsvSource(delimiter = '|', ignoreLeadingAndTrailingWhitespace = false, value = {
        "''|[Java Runtime Environment]\\r\\nMain Class=app.Main\\r\\n",
        "\\n    [Application]\\n    Single Instance=yes\\n  |[Application]\\r\\nSingle Instance=yes\\r\\n\\r\\n"
            + "[Java Runtime Environment]\\r\\nMain Class=app.Main\\r\\n",
        "[Java Runtime Environment]\\r\\nJRE Path=jre|[Java Runtime Environment]\\r\\nMain Class=app.Main\\r\\nJRE Path=jre\\r\\n",
        "[Java Runtime Environment]\\nMain Class = other.Main|[Java Runtime Environment]\\r\\nMain Class = other.Main\\r\\n",
        "[Java Runtime Environment]\\n[Java Runtime Environment]\\nMain Class=x|"
            + "[Java Runtime Environment]\\r\\nMain Class=app.Main\\r\\n[Java Runtime Environment]\\r\\nMain Class=x\\r\\n",
    })
    void theMainClassGoesWhereTheLauncherReadsIt(String given, String expected) {
        final String text = ApplicationConfig.parse(unescape(given))
                .withDefault(ApplicationConfig.RUNTIME_SECTION, "Main Class", "app.Main").text();
        assertEquals(unescape(expected), text);
    }

    // The launchers in the plugin's jar are those of the same build.
    @Test
    void thePluginCarriesTheLaunchersOfThisBuild() throws IOException {
        final Path root = Paths.get(System.getProperty("orvo.root"));
        for (String[] launcher : new String[][] {{"build/i686/orvo.exe", "orvo.exe"}, {"build/x86_64/orvo64.exe", "orvo64.exe"}}) {
            try (InputStream carried = CarriedLaunchers.class.getResourceAsStream("launchers/" + launcher[1])) {
                assertArrayEquals(Files.readAllBytes(root.resolve(launcher[0])), carried.readAllBytes(), launcher[1]);
            }
        }
    }

    private static String unescape(String text) {
        return text.replace("\\r", "\r").replace("\\n", "\n");
    }
}
