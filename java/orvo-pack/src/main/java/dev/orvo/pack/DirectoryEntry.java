package dev.orvo.pack;

/** One entry of the data directory table: an address and a size. */
final class DirectoryEntry {
    static final DirectoryEntry NONE = new DirectoryEntry(0, 0);

    final long address;
    final long size;

    DirectoryEntry(long address, long size) {
        this.address = address;
        this.size = size;
    }
}
