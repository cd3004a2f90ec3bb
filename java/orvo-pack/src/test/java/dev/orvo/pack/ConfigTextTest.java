package dev.orvo.pack;

import static org.junit.jupiter.api.Assertions.assertEquals;
import static org.junit.jupiter.api.Assertions.assertThrows;

import java.nio.charset.StandardCharsets;
import org.junit.jupiter.params.ParameterizedTest;
import org.junit.jupiter.params.provider.CsvSource;

/** The configuration text as it is carried, and the version number as it is read. */
final class ConfigTextTest {
    @ParameterizedTest
    @CsvSource(delimiter = '|', ignoreLeadingAndTrailingWhitespace = false, value = {
        "''|[Application]\\r\\nEmbedded Jar=Yes\\r\\n",
        "[Other]\\r\\nx=1|[Other]\\r\\nx=1\\r\\n[Application]\\r\\nEmbedded Jar=Yes\\r\\n",
        "[Application]\\r\\n Embedded Jar = No\\r\\nEmbedded Jar=No|[Application]\\r\\nEmbedded Jar=Yes\\r\\nEmbedded Jar=No",
        "  [Application]  \\r\\nx=1\\r\\n[B]\\r\\nEmbedded Jar=No|  [Application]  \\r\\nEmbedded Jar=Yes\\r\\nx=1\\r\\n[B]\\r\\nEmbedded Jar=No",
        "[application]\\r\\n|[application]\\r\\n[Application]\\r\\nEmbedded Jar=Yes\\r\\n",
    })
    void embeddedJarIsTurnedOnWhereTheLauncherLooksFirst(String text, String expected) {
        assertEquals(unescape(expected), EmbeddedConfig.withEmbeddedJarOn(unescape(text)));
    }

    @ParameterizedTest
    @CsvSource(delimiter = '|', ignoreLeadingAndTrailingWhitespace = false, value = {
        "k=v\\n|k=v\\r\\n",
        "\u00EF\u00BB\u00BFa\\r\\nb\\n|a\\r\\nb\\r\\n",
        "\u00FF\u00FEk\u0000=\u0000\u00E9\u0000|k=\u00C3\u00A9",
    })
    void configurationFilesBecomeUtf8WithWindowsLineEnds(String latin1Bytes, String expectedLatin1) {
        assertEquals(unescape(expectedLatin1), EmbeddedConfig.embeddableText(unescape(latin1Bytes).getBytes(StandardCharsets.ISO_8859_1)));
    }

    @ParameterizedTest
    @CsvSource(delimiter = '|', value = {
        "k=\u00FF|neither UTF-8 nor UTF-16 text; save it as UTF-8",
        "\u00C0\u00AF|neither UTF-8 nor UTF-16 text; save it as UTF-8",
        "\u00ED\u00A0\u0080|neither UTF-8 nor UTF-16 text; save it as UTF-8",
        "\u00FF\u00FEk|UTF-16 text with an odd number of bytes",
        "\u00FF\u00FE\u0000\u00D8|the text holds a broken UTF-16 surrogate pair",
    })
    void otherBytesAreRefused(String latin1Bytes, String message) {
        assertEquals(message, assertThrows(PackError.class,
                () -> EmbeddedConfig.embeddableText(latin1Bytes.getBytes(StandardCharsets.ISO_8859_1))).getMessage());
    }

    @ParameterizedTest
    @CsvSource({"1, 1.0.0.0", "1.4.2, 1.4.2.0", "65535.0.0.65535, 65535.0.0.65535", "007.1, 7.1.0.0",
        "'', -", "1., -", ".1, -", "1.2.3.4.5, -", "65536, -", "1.x, -", "-1, -", "1 .2, -", "000001, -"})
    void versionNumbersHaveOneToFourParts(String text, String expected) {
        assertEquals(expected, VersionNumber.parse(text).map(VersionNumber::toString).orElse("-"));
    }

    private static String unescape(String text) {
        return text.replace("\\r", "\r").replace("\\n", "\n");
    }
}
