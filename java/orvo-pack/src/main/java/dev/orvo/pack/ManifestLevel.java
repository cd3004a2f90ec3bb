package dev.orvo.pack;

import java.nio.charset.StandardCharsets;
import java.util.List;

/** The execution level an application manifest asks Windows for. */
final class ManifestLevel {
    private static final String ELEMENT = "requestedExecutionLevel";
    private static final String ATTRIBUTE = "level";

    private ManifestLevel() {}

    /**
     * Applies {@link #withAdministratorLevel} to the executable's manifest (resource 1 of
     * type 24), in every language. Throws PackError when the executable has none.
     */
    static void requireAdministrator(List<ResourceLeaf> leaves) {
        boolean found = false;
        for (int i = 0; i < leaves.size(); ++i) {
            final ResourceLeaf leaf = leaves.get(i);
            if (!leaf.is(ResourceLeaf.MANIFEST, ResourceId.number(1))) {
                continue;
            }
            // One char per byte, so that the manifest's bytes come back as they were.
            final String text = withAdministratorLevel(new String(leaf.data, StandardCharsets.ISO_8859_1));
            leaves.set(i, leaf.withData(text.getBytes(StandardCharsets.ISO_8859_1)));
            found = true;
        }
        if (!found) {
            throw new PackError("the launcher has no application manifest");
        }
    }

    /**
     * The manifest with the level of its requestedExecutionLevel element set to
     * "requireAdministrator", everything else as it was. Throws PackError when the
     * manifest has no such element with a level.
     */
    static String withAdministratorLevel(String manifest) {
        final int tag = findElement(manifest);
        final int tagEnd = manifest.indexOf('>', tag);
        if (tagEnd < 0) {
            throw new PackError("the manifest ends inside a tag");
        }
        final int[] value = findLevelValue(manifest, tag, tagEnd);
        return manifest.substring(0, value[0]) + "requireAdministrator" + manifest.substring(value[1]);
    }

    private static boolean isXmlSpace(char c) {
        return c == ' ' || c == '\t' || c == '\r' || c == '\n';
    }

    /**
     * Offset of the element's start tag name, after "<" or "<prefix:" (with a "<"
     * somewhere before it). Each occurrence is looked at once: time linear in the
     * manifest's size.
     */
    private static int findElement(String xml) {
        final int firstOpen = xml.indexOf('<');
        for (int at = xml.indexOf(ELEMENT); at >= 0; at = xml.indexOf(ELEMENT, at + 1)) {
            final int after = at + ELEMENT.length();
            final boolean nameEnds = after < xml.length()
                    && (isXmlSpace(xml.charAt(after)) || xml.charAt(after) == '/' || xml.charAt(after) == '>');
            if (firstOpen >= 0 && firstOpen < at && nameEnds && (xml.charAt(at - 1) == '<' || xml.charAt(at - 1) == ':')) {
                return at;
            }
        }
        throw new PackError("the manifest requests no execution level");
    }

    /** [begin, end) of the level attribute's value inside the start tag [tag, tagEnd). */
    private static int[] findLevelValue(String xml, int tag, int tagEnd) {
        for (int at = xml.indexOf(ATTRIBUTE, tag); at >= 0 && at < tagEnd; at = xml.indexOf(ATTRIBUTE, at + 1)) {
            if (!isXmlSpace(xml.charAt(at - 1))) {
                continue;
            }
            int i = at + ATTRIBUTE.length();
            while (i < tagEnd && isXmlSpace(xml.charAt(i))) {
                ++i;
            }
            if (i >= tagEnd || xml.charAt(i) != '=') {
                continue;
            }
            ++i;
            while (i < tagEnd && isXmlSpace(xml.charAt(i))) {
                ++i;
            }
            if (i >= tagEnd || (xml.charAt(i) != '"' && xml.charAt(i) != '\'')) {
                continue;
            }
            final int close = xml.indexOf(xml.charAt(i), i + 1);
            if (close >= 0 && close < tagEnd) {
                return new int[] {i + 1, close};
            }
        }
        throw new PackError("the manifest's execution level has no level");
    }
}
