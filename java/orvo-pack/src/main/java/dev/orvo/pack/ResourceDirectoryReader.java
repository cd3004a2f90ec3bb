package dev.orvo.pack;

import java.util.ArrayList;
import java.util.HashSet;
import java.util.List;
import java.util.Set;

/**
 * The leaves of the resource directory in a resource section (its raw data, loaded at
 * {@code sectionRva}), sorted by type, name and language. Throws PackError when the
 * directory is malformed: entries or data outside the section, a level of the wrong
 * kind, a leaf listed twice, or more data than the section holds.
 */
final class ResourceDirectoryReader {
    private static final long HIGH_BIT = 0x80000000L;
    /** Keeps every table's entry counts within their 16-bit fields. */
    static final int MAX_LEAVES = 60000;

    private final ByteView section;
    private final long sectionRva;
    private final List<ResourceLeaf> leaves = new ArrayList<>();
    private final Set<Long> tablesSeen = new HashSet<>();
    private long entryTotal;
    private long nameTotal;
    private long dataTotal;

    private ResourceDirectoryReader(ByteView section, long sectionRva) {
        this.section = section;
        this.sectionRva = sectionRva;
    }

    static List<ResourceLeaf> read(ByteView section, long sectionRva) {
        final List<ResourceLeaf> leaves = new ResourceDirectoryReader(section, sectionRva).readAll();
        ResourceLeaves.sort(leaves);
        return leaves;
    }

    static long tableSize(long entries) {
        return 16 + 8 * entries;
    }

    private static final class Entry {
        final ResourceId id;
        final long target;

        Entry(ResourceId id, long target) {
            this.id = id;
            this.target = target;
        }
    }

    private List<ResourceLeaf> readAll() {
        for (Entry type : entries(0, true)) {
            for (Entry name : entries(type.target, true)) {
                for (Entry language : entries(name.target, false)) {
                    if (language.id.named) {
                        throw new PackError("a resource language is a name, not a number");
                    }
                    addLeaf(type.id, name.id, language.id.number, language.target);
                }
            }
        }
        return leaves;
    }

    /**
     * (id, offset of what the entry points to) for every entry of the table at
     * {@code offset}; {@code directories} says whether the entries must point to tables
     * or to data entries.
     */
    private List<Entry> entries(long offset, boolean directories) {
        if (!tablesSeen.add(offset)) {
            throw new PackError("the resource directory reaches a table twice");
        }
        final long count = section.u16(offset + 12) + (long) section.u16(offset + 14);
        section.sub(offset, tableSize(count));
        entryTotal += count;
        if (entryTotal > section.size() / 8) {
            throw new PackError("the resource directory has more entries than its section holds");
        }
        final List<Entry> entries = new ArrayList<>();
        for (long i = 0; i < count; ++i) {
            final long at = offset + tableSize(i);
            final long target = section.u32(at + 4);
            if (((target & HIGH_BIT) != 0) != directories) {
                throw new PackError("a resource directory level is of the wrong kind");
            }
            entries.add(new Entry(readId(section.u32(at)), target & ~HIGH_BIT));
        }
        return entries;
    }

    private ResourceId readId(long field) {
        if ((field & HIGH_BIT) == 0) {
            if (field > 0xFFFF) {
                throw new PackError("a resource number is out of range");
            }
            return ResourceId.number((int) field);
        }
        final long at = field & ~HIGH_BIT;
        final int length = section.u16(at);
        final ByteView units = section.sub(at + 2, 2L * length);
        chargeNames(units.size());
        final StringBuilder name = new StringBuilder(length);
        for (int i = 0; i < units.size(); i += 2) {
            name.append((char) units.u16(i));
        }
        return ResourceId.name(name.toString());
    }

    /**
     * Names may be shared, and each leaf carries a copy of its type's and its own: what
     * is read and copied of them stays within twice the section.
     */
    private void chargeNames(long bytes) {
        nameTotal += bytes;
        if (nameTotal > 2L * section.size()) {
            throw new PackError("the resource directory lists more than its section holds");
        }
    }

    private void addLeaf(ResourceId type, ResourceId name, int language, long entry) {
        final long rva = section.u32(entry);
        final long size = section.u32(entry + 4);
        if (rva < sectionRva) {
            throw new PackError("resource data lies outside the resource section");
        }
        final ByteView data = section.sub(rva - sectionRva, size);
        // Entries may share data; without these bounds a small directory could
        // multiply into a huge one.
        dataTotal += size;
        if (leaves.size() == MAX_LEAVES || dataTotal > section.size()) {
            throw new PackError("the resource directory lists more than its section holds");
        }
        chargeNames(2L * (type.name.length() + name.name.length()));
        leaves.add(new ResourceLeaf(type, name, language, section.u32(entry + 8), data.toArray()));
    }
}
