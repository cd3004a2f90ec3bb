package dev.orvo.pack;

/** One section of a PE image, as its section header describes it. */
final class PeSection {
    /** Up to eight characters, as stored. */
    final String name;
    final long virtualSize;
    final long virtualAddress;
    final long rawSize;
    final long rawOffset;
    /** Of its 40-byte section header in the file. */
    final long headerOffset;

    PeSection(String name, long virtualSize, long virtualAddress, long rawSize, long rawOffset, long headerOffset) {
        this.name = name;
        this.virtualSize = virtualSize;
        this.virtualAddress = virtualAddress;
        this.rawSize = rawSize;
        this.rawOffset = rawOffset;
        this.headerOffset = headerOffset;
    }

    /** Some linkers leave the virtual size 0 and mean the raw size. */
    long virtualEnd() {
        return virtualAddress + (virtualSize != 0 ? virtualSize : rawSize);
    }

    long rawEnd() {
        return rawOffset + rawSize;
    }

    PeSection placed(long newVirtualAddress, long newRawOffset, long newRawSize) {
        return new PeSection(name, virtualSize, newVirtualAddress, newRawSize, newRawOffset, headerOffset);
    }

    PeSection withVirtualSize(long newVirtualSize) {
        return new PeSection(name, newVirtualSize, virtualAddress, rawSize, rawOffset, headerOffset);
    }
}
