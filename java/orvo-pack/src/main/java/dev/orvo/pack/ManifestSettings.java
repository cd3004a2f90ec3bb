package dev.orvo.pack;

import java.nio.charset.StandardCharsets;
import java.util.List;
import java.util.Optional;

/**
 * The Windows settings an application manifest gives its process: the code page of its
 * narrow text (activeCodePage) and whether its paths may be long (longPathAware).
 * Manifests are handled one char per byte, so that every byte not changed comes back.
 */
final class ManifestSettings {
    /** The code page --code-page asks for. */
    enum CodePage {
        /** The process's narrow text is UTF-8 (Windows 10 1903 and later). */
        UTF_8,
        /** The system's code page for programs, as without the setting. */
        SYSTEM
    }

    private static final String SETTINGS_ELEMENT = "windowsSettings";
    private static final Setting CODE_PAGE = new Setting("activeCodePage",
            "<activeCodePage xmlns=\"http://schemas.microsoft.com/SMI/2019/WindowsSettings\">UTF-8</activeCodePage>");
    private static final Setting LONG_PATHS = new Setting("longPathAware",
            "<longPathAware xmlns=\"http://schemas.microsoft.com/SMI/2016/WindowsSettings\">true</longPathAware>");

    private ManifestSettings() {}

    /** A setting's element name and the whole element that turns it on. */
    private static final class Setting {
        final String name;
        final String element;

        Setting(String name, String element) {
            this.name = name;
            this.element = element;
        }
    }

    /** [begin, end) of the windowsSettings element's content, end at its closing tag. */
    private static final class Content {
        final int begin;
        final int end;

        Content(int begin, int end) {
            this.begin = begin;
            this.end = end;
        }
    }

    /** "utf-8" or "system", in any (ASCII) letter case; empty for anything else. */
    static Optional<CodePage> parseCodePage(String text) {
        if (equalsAnyCase(text, "utf-8")) {
            return Optional.of(CodePage.UTF_8);
        }
        if (equalsAnyCase(text, "system")) {
            return Optional.of(CodePage.SYSTEM);
        }
        return Optional.empty();
    }

    /**
     * Applies {@link #withWindowsSettings} to the executable's manifest (resource 1 of
     * type 24), in every language. Throws PackError when the executable has none.
     */
    static void change(List<ResourceLeaf> leaves, Optional<CodePage> codePage, boolean longPaths) {
        boolean found = false;
        for (int i = 0; i < leaves.size(); ++i) {
            final ResourceLeaf leaf = leaves.get(i);
            if (!leaf.is(ResourceLeaf.MANIFEST, ResourceId.number(1))) {
                continue;
            }
            final String text = withWindowsSettings(new String(leaf.data, StandardCharsets.ISO_8859_1), codePage, longPaths);
            leaves.set(i, leaf.withData(text.getBytes(StandardCharsets.ISO_8859_1)));
            found = true;
        }
        if (!found) {
            throw new PackError("the launcher has no application manifest");
        }
    }

    /**
     * The manifest with the change made inside its windowsSettings element, every other
     * byte as it was. A setting that is changed loses each element of its name there
     * (with its line when the element stands alone on one); a setting that is turned on
     * then gets one new element, on a line of its own just before the closing tag
     * (indented two spaces deeper than that tag, with the line end of the line before
     * it) or, when the closing tag does not begin its line, right before it. The code
     * page comes first. Throws PackError when the manifest has no windowsSettings
     * element with content, even for no change.
     */
    static String withWindowsSettings(String manifest, Optional<CodePage> codePage, boolean longPaths) {
        findSettingsContent(manifest);
        String xml = manifest;
        if (codePage.isPresent()) {
            xml = changeSetting(xml, CODE_PAGE, codePage.get() == CodePage.UTF_8);
        }
        if (longPaths) {
            xml = changeSetting(xml, LONG_PATHS, true);
        }
        return xml;
    }

    private static String changeSetting(String xml, Setting setting, boolean on) {
        final String without = removeSetting(xml, setting);
        return on ? insertSetting(without, setting) : without;
    }

    private static boolean isXmlSpace(char c) {
        return c == ' ' || c == '\t' || c == '\r' || c == '\n';
    }

    private static boolean isBlank(char c) {
        return c == ' ' || c == '\t';
    }

    private static boolean isPrefixChar(char c) {
        return !isXmlSpace(c) && c != '<' && c != '>' && c != '/';
    }

    /**
     * Offset of the "<" of a start tag named {@code name}, with or without a namespace
     * prefix, at or after {@code from} and before {@code limit}; -1 when there is none.
     * A name is looked at once, and the prefixes walked back over never overlap (each
     * name looked further at is followed by a character that ends a prefix): linear time.
     */
    private static int findStartTag(String xml, String name, int from, int limit) {
        for (int at = xml.indexOf(name, from); at >= 0 && at < limit; at = xml.indexOf(name, at + 1)) {
            final int after = at + name.length();
            if (after >= xml.length() || !(isXmlSpace(xml.charAt(after)) || xml.charAt(after) == '>' || xml.charAt(after) == '/')) {
                continue;
            }
            int open = at;
            if (open > 0 && xml.charAt(open - 1) == ':') {
                --open;
                while (open > 0 && isPrefixChar(xml.charAt(open - 1))) {
                    --open;
                }
                if (open + 1 == at) {
                    continue; // ":name" without a prefix
                }
            }
            if (open > from && xml.charAt(open - 1) == '<') {
                return open - 1;
            }
        }
        return -1;
    }

    /**
     * Where the tag that begins at {@code open} ends (just after its ">"). A "<" before
     * that ">" means the tag is not closed: nothing could be inserted after it safely.
     */
    private static int tagEnd(String xml, int open) {
        int close = open + 1;
        while (close < xml.length() && xml.charAt(close) != '<' && xml.charAt(close) != '>') {
            ++close;
        }
        if (close >= xml.length() || xml.charAt(close) != '>') {
            throw new PackError("the manifest has a tag without its end");
        }
        return close + 1;
    }

    /** The tag's name with its prefix: from after "<" to the first blank, "/" or ">". */
    private static String qualifiedName(String xml, int open) {
        int end = open + 1;
        while (end < xml.length() && !isXmlSpace(xml.charAt(end)) && xml.charAt(end) != '>' && xml.charAt(end) != '/') {
            ++end;
        }
        return xml.substring(open + 1, end);
    }

    private static Content findSettingsContent(String xml) {
        final int open = findStartTag(xml, SETTINGS_ELEMENT, 0, xml.length());
        if (open < 0) {
            throw new PackError("the manifest has no windowsSettings element");
        }
        final int begin = tagEnd(xml, open);
        if (xml.charAt(begin - 2) == '/') {
            throw new PackError("the manifest's windowsSettings element is empty");
        }
        final int end = xml.indexOf("</" + qualifiedName(xml, open) + ">", begin);
        if (end < 0) {
            throw new PackError("the manifest's windowsSettings element is not closed");
        }
        // Every tag inside ends before the next begins: then taking an element out or
        // putting one in cannot join what is left into a tag that was not there.
        for (int at = xml.indexOf('<', begin); at >= 0 && at < end; at = xml.indexOf('<', at + 1)) {
            tagEnd(xml, at);
        }
        return new Content(begin, end);
    }

    /**
     * The end of the element that begins at {@code open}: after its "/>", or after the
     * ">" of the first closing tag after it, which must be its own (a setting holds text).
     */
    private static int elementEnd(String xml, int open) {
        final int tagEnd = tagEnd(xml, open);
        if (xml.charAt(tagEnd - 2) == '/') {
            return tagEnd;
        }
        final int closing = xml.indexOf("</", tagEnd);
        if (closing < 0 || !qualifiedName(xml, closing + 1).equals(qualifiedName(xml, open))) {
            throw new PackError("the manifest's " + qualifiedName(xml, open) + " element is not closed");
        }
        return tagEnd(xml, closing);
    }

    /**
     * [from, to) of what an element [open, end) takes with it: the element alone, or its
     * whole line (blanks and line end included) when it stands alone on one. No blank
     * before {@code kept} (the end of what was taken before) is taken.
     */
    private static int[] takenWith(String xml, int kept, int open, int end) {
        int lineStart = open;
        while (lineStart > kept && isBlank(xml.charAt(lineStart - 1))) {
            --lineStart;
        }
        int lineEnd = end;
        while (lineEnd < xml.length() && isBlank(xml.charAt(lineEnd))) {
            ++lineEnd;
        }
        final boolean aloneFromStart = lineStart == 0 || xml.charAt(lineStart - 1) == '\n';
        if (aloneFromStart && lineEnd < xml.length() && xml.charAt(lineEnd) == '\n') {
            return new int[] {lineStart, lineEnd + 1};
        }
        if (aloneFromStart && lineEnd + 1 < xml.length() && xml.charAt(lineEnd) == '\r' && xml.charAt(lineEnd + 1) == '\n') {
            return new int[] {lineStart, lineEnd + 2};
        }
        return new int[] {open, end};
    }

    /** Every element of the setting's name inside windowsSettings goes, in one pass. */
    private static String removeSetting(String xml, Setting setting) {
        final Content content = findSettingsContent(xml);
        final StringBuilder result = new StringBuilder(xml.length());
        int kept = 0;
        for (int open = findStartTag(xml, setting.name, content.begin, content.end); open >= 0;
                open = findStartTag(xml, setting.name, kept, content.end)) {
            final int end = elementEnd(xml, open);
            if (end > content.end) {
                throw new PackError("the manifest's windowsSettings element is not closed");
            }
            final int[] taken = takenWith(xml, kept, open, end);
            result.append(xml, kept, taken[0]);
            kept = taken[1];
        }
        if (kept == 0) {
            return xml;
        }
        return result.append(xml, kept, xml.length()).toString();
    }

    private static String insertSetting(String xml, Setting setting) {
        final Content content = findSettingsContent(xml);
        int lineStart = content.end;
        while (lineStart > content.begin && isBlank(xml.charAt(lineStart - 1))) {
            --lineStart;
        }
        if (xml.charAt(lineStart - 1) != '\n') {
            return xml.substring(0, content.end) + setting.element + xml.substring(content.end);
        }
        final boolean crlf = lineStart >= 2 && xml.charAt(lineStart - 2) == '\r';
        final String line = xml.substring(lineStart, content.end) + "  " + setting.element + (crlf ? "\r\n" : "\n");
        return xml.substring(0, lineStart) + line + xml.substring(lineStart);
    }

    private static boolean equalsAnyCase(String text, String lower) {
        if (text.length() != lower.length()) {
            return false;
        }
        for (int i = 0; i < text.length(); ++i) {
            final char c = text.charAt(i);
            final char folded = c >= 'A' && c <= 'Z' ? (char) (c - 'A' + 'a') : c;
            if (folded != lower.charAt(i)) {
                return false;
            }
        }
        return true;
    }
}
