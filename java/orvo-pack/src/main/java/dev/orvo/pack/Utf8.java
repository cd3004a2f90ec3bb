package dev.orvo.pack;

import java.nio.charset.StandardCharsets;

/** UTF-8 checks and conversions for the texts orvo-pack writes into resources. */
final class Utf8 {
    private Utf8() {}

    /** True for well-formed UTF-8: no overlong forms, no surrogates, nothing above U+10FFFF. */
    static boolean isValid(byte[] text, int from) {
        for (int i = from; i < text.length;) {
            final int length = sequenceAt(text, i);
            if (length == 0) {
                return false;
            }
            i += length;
        }
        return true;
    }

    /** UTF-16 units as UTF-8. Throws PackError for a surrogate without its partner. */
    static byte[] fromUtf16(CharSequence units) {
        for (int i = 0; i < units.length(); ++i) {
            final char unit = units.charAt(i);
            if (Character.isHighSurrogate(unit) && i + 1 < units.length() && Character.isLowSurrogate(units.charAt(i + 1))) {
                ++i;
            } else if (Character.isSurrogate(unit)) {
                throw new PackError("the text holds a broken UTF-16 surrogate pair");
            }
        }
        return units.toString().getBytes(StandardCharsets.UTF_8);
    }

    private static boolean isContinuation(int value) {
        return (value & 0xC0) == 0x80;
    }

    /** Length of the well-formed sequence at {@code i}, or 0. */
    private static int sequenceAt(byte[] text, int i) {
        final int lead = text[i] & 0xFF;
        final int length = lead < 0x80 ? 1
                : lead >= 0xC2 && lead <= 0xDF ? 2
                : lead >= 0xE0 && lead <= 0xEF ? 3
                : lead >= 0xF0 && lead <= 0xF4 ? 4 : 0;
        if (length == 0 || text.length - i < length) {
            return 0;
        }
        for (int k = 1; k < length; ++k) {
            if (!isContinuation(text[i + k] & 0xFF)) {
                return 0;
            }
        }
        if (length == 1) {
            return 1;
        }
        final int second = text[i + 1] & 0xFF;
        // The second byte's range rules out overlong forms, surrogates and values above U+10FFFF.
        if ((lead == 0xE0 && second < 0xA0) || (lead == 0xED && second > 0x9F) || (lead == 0xF0 && second < 0x90)
                || (lead == 0xF4 && second > 0x8F)) {
            return 0;
        }
        return length;
    }
}
