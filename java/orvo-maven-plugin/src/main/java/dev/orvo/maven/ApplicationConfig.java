package dev.orvo.maven;

import dev.orvo.pack.OverlaySyntax;
import java.util.ArrayList;
import java.util.Arrays;
import java.util.List;

/**
 * The configuration an executable carries, composed from what the POM gives: the text
 * of a file or of the plugin block, with keys the plugin knows added where the text
 * leaves them out. The launcher reads only the first section of a name, so a key is
 * added to that section.
 */
final class ApplicationConfig {
    static final String RUNTIME_SECTION = "Java Runtime Environment";
    static final String APPLICATION_SECTION = "Application";

    private final List<String> lines;

    private ApplicationConfig(List<String> lines) {
        this.lines = lines;
    }

    /** The text's lines; the indentation an INI text inline in a POM has is left out. */
    static ApplicationConfig parse(String text) {
        final List<String> lines = new ArrayList<>();
        for (String line : Arrays.asList(text.split("\r?\n", -1))) {
            lines.add(line.strip());
        }
        while (!lines.isEmpty() && lines.get(lines.size() - 1).isEmpty()) {
            lines.remove(lines.size() - 1);
        }
        while (!lines.isEmpty() && lines.get(0).isEmpty()) {
            lines.remove(0);
        }
        return new ApplicationConfig(lines);
    }

    /** True when the first section of that name sets the key. */
    boolean has(String section, String key) {
        final int start = sectionStart(section);
        if (start < 0) {
            return false;
        }
        for (int i = start + 1; i < lines.size() && OverlaySyntax.sectionName(lines.get(i)) == null; ++i) {
            if (key.equals(OverlaySyntax.key(lines.get(i)))) {
                return true;
            }
        }
        return false;
    }

    /** Sets the key in the first section of that name, unless it is set there already. */
    ApplicationConfig withDefault(String section, String key, String value) {
        if (has(section, key)) {
            return this;
        }
        final List<String> changed = new ArrayList<>(lines);
        final int start = sectionStart(section);
        if (start >= 0) {
            changed.add(start + 1, key + "=" + value);
        } else {
            if (!changed.isEmpty()) {
                changed.add("");
            }
            changed.add("[" + section + "]");
            changed.add(key + "=" + value);
        }
        return new ApplicationConfig(changed);
    }

    /** The text with Windows line ends, as the launcher reads it. */
    String text() {
        return String.join("\r\n", lines) + "\r\n";
    }

    private int sectionStart(String section) {
        for (int i = 0; i < lines.size(); ++i) {
            if (section.equals(OverlaySyntax.sectionName(lines.get(i)))) {
                return i;
            }
        }
        return -1;
    }
}
