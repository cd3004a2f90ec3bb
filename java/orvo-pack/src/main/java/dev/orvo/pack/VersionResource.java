package dev.orvo.pack;

import java.util.ArrayList;
import java.util.Collections;
import java.util.List;
import java.util.Map;
import java.util.OptionalInt;

/**
 * The version resource (VS_VERSIONINFO) that Explorer, the taskbar and the Task
 * Manager read: fixed file and product version, and a US English string table.
 */
final class VersionResource {
    private static final int BINARY_VALUE = 0;
    private static final int TEXT_VALUE = 1;
    private static final int US_ENGLISH = 0x0409;
    private static final int UNICODE_CODE_PAGE = 1200;
    private static final String STRING_TABLE_KEY = "040904b0"; // US English, Unicode

    private VersionResource() {}

    /** The resource's bytes. Throws PackError when a value is too long for the format. */
    static byte[] build(VersionInfo info) {
        final List<byte[]> strings = new ArrayList<>();
        for (Map.Entry<String, String> entry : info.strings()) {
            strings.add(stringValue(entry.getKey(), entry.getValue()));
        }
        final ByteBuilder translation = new ByteBuilder();
        translation.appendU16(US_ENGLISH);
        translation.appendU16(UNICODE_CODE_PAGE);
        final byte[] stringFileInfo = node("StringFileInfo", TEXT_VALUE, new byte[0], 0,
                Collections.singletonList(node(STRING_TABLE_KEY, TEXT_VALUE, new byte[0], 0, strings)));
        final byte[] varFileInfo = node("VarFileInfo", TEXT_VALUE, new byte[0], 0,
                Collections.singletonList(node("Translation", BINARY_VALUE, translation.toArray(), 4, List.of())));
        final byte[] fixed = fixedFileInfo(info.number());
        return node("VS_VERSION_INFO", BINARY_VALUE, fixed, fixed.length, List.of(stringFileInfo, varFileInfo));
    }

    /**
     * Puts the resource in place of every version resource, as number 1 in the old
     * one's language (US English when there was none).
     */
    static void replace(List<ResourceLeaf> leaves, byte[] resource) {
        final OptionalInt language = ResourceLeaves.remove(leaves, leaf -> leaf.is(ResourceLeaf.VERSION));
        leaves.add(new ResourceLeaf(ResourceId.number(ResourceLeaf.VERSION), ResourceId.number(1), language.orElse(US_ENGLISH), 0,
                resource));
        ResourceLeaves.sort(leaves);
    }

    private static byte[] utf16WithNul(String text) {
        final ByteBuilder bytes = new ByteBuilder();
        for (int i = 0; i < text.length(); ++i) {
            bytes.appendU16(text.charAt(i));
        }
        bytes.appendU16(0);
        return bytes.toArray();
    }

    /**
     * One block of the version tree: length, value length, type, key, the value and the
     * children, each starting on a 32-bit boundary.
     */
    private static byte[] node(String key, int type, byte[] value, int valueLength, List<byte[]> children) {
        final ByteBuilder node = new ByteBuilder();
        node.appendU16(0);
        node.appendU16(valueLength);
        node.appendU16(type);
        node.append(utf16WithNul(key));
        node.padTo(4);
        node.append(value);
        for (byte[] child : children) {
            node.padTo(4);
            node.append(child);
        }
        if (node.size() > 0xFFFF) {
            throw new PackError("the version information is too long");
        }
        node.putU16(0, node.size());
        return node.toArray();
    }

    private static byte[] fixedFileInfo(VersionNumber number) {
        final long high = ((long) number.part(0) << 16) | number.part(1);
        final long low = ((long) number.part(2) << 16) | number.part(3);
        final ByteBuilder info = new ByteBuilder();
        final long[] fields = {0xFEEF04BDL, 0x00010000L, high, low, high, low,
            0x3FL, // every flag is meaningful
            0L, // none set: a release build
            0x00040004L, // Windows NT, 32-bit API
            0x1L, // an application
            0L, 0L, 0L};
        for (long field : fields) {
            info.appendU32(field);
        }
        return info.toArray();
    }

    private static byte[] stringValue(String name, String value) {
        if (value.length() >= 0xFFFF) {
            throw new PackError("a version text is too long");
        }
        return node(name, TEXT_VALUE, utf16WithNul(value), value.length() + 1, List.of());
    }
}
