package dev.orvo.pack;

import java.nio.charset.StandardCharsets;
import java.util.ArrayList;
import java.util.Arrays;
import java.util.List;
import java.util.Optional;

/**
 * The configuration orvo-pack carries inside the executable: the text of a
 * configuration file, stored as the resource the launcher reads as its overlay.
 *
 * <p>The text is held as UTF-8 bytes, one char per byte ("byte text"): the overlay's
 * syntax is ASCII, and every byte of a multi-byte UTF-8 character is above the blanks
 * it skips, so lines and keys are found in the bytes without decoding them.
 */
final class EmbeddedConfig {
    /** Name of the RCDATA resource (upper case: resource names are looked up upper-cased). */
    private static final ResourceId RESOURCE_NAME = ResourceId.name("ORVO_CONFIG");
    /** Larger resources are not ours: the launcher ignores them. */
    private static final int MAX_BYTES = 1024 * 1024;
    private static final String LINE_END = "\r\n";
    private static final String EMBEDDED_JAR_LINE = "Embedded Jar=Yes";

    private EmbeddedConfig() {}

    /**
     * A configuration file's bytes as UTF-8 byte text with "\r\n" line ends. Accepts
     * UTF-8 (with or without a byte-order mark) and UTF-16LE with one. Throws PackError
     * for other bytes: the launcher would read them differently from the file's editor.
     */
    static String embeddableText(byte[] file) {
        final byte[] utf8;
        if (file.length >= 2 && (file[0] & 0xFF) == 0xFF && (file[1] & 0xFF) == 0xFE) {
            utf8 = fromUtf16Le(Arrays.copyOfRange(file, 2, file.length));
        } else {
            final int from = file.length >= 3 && (file[0] & 0xFF) == 0xEF && (file[1] & 0xFF) == 0xBB && (file[2] & 0xFF) == 0xBF
                    ? 3 : 0;
            if (!Utf8.isValid(file, from)) {
                throw new PackError("neither UTF-8 nor UTF-16 text; save it as UTF-8");
            }
            utf8 = Arrays.copyOfRange(file, from, file.length);
        }
        return withCrLfLineEnds(new String(utf8, StandardCharsets.ISO_8859_1));
    }

    /**
     * The text with "Embedded Jar" set to "Yes" where the launcher looks first: the first
     * such key of the first [Application] section; the key is added at the section's
     * start and the section at the end of the text when missing.
     */
    static String withEmbeddedJarOn(String text) {
        final List<String> lines = splitLines(text);
        int section = -1;
        for (int i = 0; i < lines.size() && section < 0; ++i) {
            if ("Application".equals(OverlaySyntax.sectionName(lines.get(i)))) {
                section = i;
            }
        }
        if (section < 0) {
            final StringBuilder result = new StringBuilder(text);
            if (!text.isEmpty() && !text.endsWith(LINE_END)) {
                result.append(LINE_END);
            }
            return result.append("[Application]\r\n").append(EMBEDDED_JAR_LINE).append(LINE_END).toString();
        }
        int sectionEnd = section + 1;
        while (sectionEnd < lines.size() && OverlaySyntax.sectionName(lines.get(sectionEnd)) == null) {
            ++sectionEnd;
        }
        for (int i = section + 1; i < sectionEnd; ++i) {
            if ("Embedded Jar".equals(OverlaySyntax.key(lines.get(i)))) {
                lines.set(i, EMBEDDED_JAR_LINE);
                return String.join(LINE_END, lines);
            }
        }
        lines.add(section + 1, EMBEDDED_JAR_LINE);
        return String.join(LINE_END, lines);
    }

    /** The embedded configuration's byte text; empty when the executable carries none. */
    static Optional<String> find(List<ResourceLeaf> leaves) {
        for (ResourceLeaf leaf : leaves) {
            if (leaf.is(ResourceLeaf.RC_DATA, RESOURCE_NAME)) {
                return Optional.of(embeddableText(leaf.data));
            }
        }
        return Optional.empty();
    }

    /**
     * Stores the byte text (as UTF-8 with a byte-order mark) as the embedded
     * configuration, replacing any earlier one. Throws PackError when it is larger than
     * the launcher reads.
     */
    static void replace(List<ResourceLeaf> leaves, String text) {
        final byte[] data = ("\u00EF\u00BB\u00BF" + text).getBytes(StandardCharsets.ISO_8859_1);
        if (data.length > MAX_BYTES) {
            throw new PackError("the configuration is larger than the launcher reads (1 MiB)");
        }
        ResourceLeaves.remove(leaves, leaf -> leaf.is(ResourceLeaf.RC_DATA, RESOURCE_NAME));
        leaves.add(new ResourceLeaf(ResourceId.number(ResourceLeaf.RC_DATA), RESOURCE_NAME, 0, 0, data));
        ResourceLeaves.sort(leaves);
    }

    private static byte[] fromUtf16Le(byte[] bytes) {
        if (bytes.length % 2 != 0) {
            throw new PackError("UTF-16 text with an odd number of bytes");
        }
        final StringBuilder units = new StringBuilder(bytes.length / 2);
        for (int i = 0; i < bytes.length; i += 2) {
            units.append((char) ((bytes[i] & 0xFF) | ((bytes[i + 1] & 0xFF) << 8)));
        }
        return Utf8.fromUtf16(units);
    }

    /** The text with every "\n" that is not preceded by "\r" turned into "\r\n". */
    private static String withCrLfLineEnds(String text) {
        final StringBuilder result = new StringBuilder(text.length());
        for (int i = 0; i < text.length(); ++i) {
            if (text.charAt(i) == '\n' && (i == 0 || text.charAt(i - 1) != '\r')) {
                result.append('\r');
            }
            result.append(text.charAt(i));
        }
        return result.toString();
    }

    private static List<String> splitLines(String text) {
        final List<String> lines = new ArrayList<>();
        int from = 0;
        for (int end = text.indexOf(LINE_END); end >= 0; end = text.indexOf(LINE_END, from)) {
            lines.add(text.substring(from, end));
            from = end + LINE_END.length();
        }
        lines.add(text.substring(from));
        return lines;
    }
}
