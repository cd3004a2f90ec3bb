package dev.orvo.pack;

/** Rounding to powers of two, as the PE format lays out its headers and sections. */
final class Alignment {
    private Alignment() {}

    /** {@code value} rounded up to a multiple of {@code alignment} (a power of two). */
    static long up(long value, long alignment) {
        return (value + alignment - 1) & ~(alignment - 1);
    }

    static boolean isPowerOfTwo(long value) {
        return value != 0 && (value & (value - 1)) == 0;
    }
}
