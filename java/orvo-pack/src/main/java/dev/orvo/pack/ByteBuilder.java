package dev.orvo.pack;

import java.util.Arrays;

/** Bytes being written: appended at the end or stored at a checked offset, little-endian. */
final class ByteBuilder {
    private byte[] buffer;
    private int size;

    ByteBuilder() {
        buffer = new byte[256];
    }

    /** {@code zeros} zero bytes to start from. */
    ByteBuilder(long zeros) {
        if (zeros > Integer.MAX_VALUE - 8) {
            throw new PackError("the executable grows beyond what orvo-pack can hold");
        }
        buffer = new byte[(int) Math.max(zeros, 16)];
        size = (int) zeros;
    }

    int size() {
        return size;
    }

    private void ensureRoom(long more) {
        final long needed = size + more;
        if (needed > Integer.MAX_VALUE - 8) {
            throw new PackError("the executable grows beyond what orvo-pack can hold");
        }
        if (needed > buffer.length) {
            buffer = Arrays.copyOf(buffer, (int) Math.min(Integer.MAX_VALUE - 8L, Math.max(needed, 2L * buffer.length)));
        }
    }

    void appendByte(int value) {
        ensureRoom(1);
        buffer[size++] = (byte) value;
    }

    void appendU16(int value) {
        appendByte(value);
        appendByte(value >>> 8);
    }

    void appendU32(long value) {
        appendU16((int) (value & 0xFFFF));
        appendU16((int) ((value >>> 16) & 0xFFFF));
    }

    void append(byte[] bytes) {
        ensureRoom(bytes.length);
        System.arraycopy(bytes, 0, buffer, size, bytes.length);
        size += bytes.length;
    }

    void append(ByteView bytes) {
        ensureRoom(bytes.size());
        bytes.copyTo(buffer, size);
        size += bytes.size();
    }

    /** Zeros up to the next multiple of {@code alignment} (a power of two) of the size. */
    void padTo(long alignment) {
        final long target = Alignment.up(size, alignment);
        ensureRoom(target - size);
        size = (int) target;
    }

    void putU16(long offset, int value) {
        ByteView.checkRange(size, offset, 2);
        buffer[(int) offset] = (byte) value;
        buffer[(int) offset + 1] = (byte) (value >>> 8);
    }

    void putU32(long offset, long value) {
        ByteView.checkRange(size, offset, 4);
        putU16(offset, (int) (value & 0xFFFF));
        putU16(offset + 2, (int) ((value >>> 16) & 0xFFFF));
    }

    void put(long offset, byte[] bytes) {
        ByteView.checkRange(size, offset, bytes.length);
        System.arraycopy(bytes, 0, buffer, (int) offset, bytes.length);
    }

    long u32(long offset) {
        ByteView.checkRange(size, offset, 4);
        return ByteView.of(buffer).sub(offset, 4).u32(0);
    }

    byte[] toArray() {
        return Arrays.copyOf(buffer, size);
    }
}
