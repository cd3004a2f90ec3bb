package dev.orvo.pack;

import java.util.Arrays;

/**
 * A read-only window on bytes whose little-endian fields are read with bounds checks:
 * a field outside the window throws PackError instead of reading past it.
 */
final class ByteView {
    private final byte[] bytes;
    private final int start;
    private final int length;

    private ByteView(byte[] bytes, int start, int length) {
        this.bytes = bytes;
        this.start = start;
        this.length = length;
    }

    static ByteView of(byte[] bytes) {
        return new ByteView(bytes, 0, bytes.length);
    }

    int size() {
        return length;
    }

    boolean isEmpty() {
        return length == 0;
    }

    static void checkRange(long dataSize, long offset, long size) {
        if (offset < 0 || size < 0 || offset > dataSize || size > dataSize - offset) {
            throw new PackError("the file ends early or a field points outside it");
        }
    }

    int u8(long offset) {
        checkRange(length, offset, 1);
        return bytes[start + (int) offset] & 0xFF;
    }

    int u16(long offset) {
        checkRange(length, offset, 2);
        final int at = start + (int) offset;
        return (bytes[at] & 0xFF) | ((bytes[at + 1] & 0xFF) << 8);
    }

    long u32(long offset) {
        checkRange(length, offset, 4);
        return u16(offset) | ((long) u16(offset + 2) << 16);
    }

    /** {@code size} bytes from {@code offset}; throws when they are not all inside. */
    ByteView sub(long offset, long size) {
        checkRange(length, offset, size);
        return new ByteView(bytes, start + (int) offset, (int) size);
    }

    /** True when the bytes at {@code offset} are exactly {@code expected}; false when out of range. */
    boolean hasBytesAt(long offset, byte[] expected) {
        if (offset < 0 || offset > length || expected.length > length - offset) {
            return false;
        }
        for (int i = 0; i < expected.length; ++i) {
            if (bytes[start + (int) offset + i] != expected[i]) {
                return false;
            }
        }
        return true;
    }

    byte[] toArray() {
        return Arrays.copyOfRange(bytes, start, start + length);
    }

    void copyTo(byte[] target, int at) {
        System.arraycopy(bytes, start, target, at, length);
    }
}
