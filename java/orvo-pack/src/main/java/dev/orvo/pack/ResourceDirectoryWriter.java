package dev.orvo.pack;

import java.util.ArrayList;
import java.util.List;

/**
 * The raw data of a resource section that holds exactly the given leaves. Its layout:
 * the tables first (root, then one per type, then one per name), the data entries,
 * the name strings, and the data, each piece of data on an 8-byte boundary.
 */
final class ResourceDirectoryWriter {
    private static final long HIGH_BIT = 0x80000000L;
    private static final long DATA_ENTRY_SIZE = 16;

    private static final class NameGroup {
        final int firstLeaf;
        int leafCount;
        long table;
        long string;

        NameGroup(int firstLeaf) {
            this.firstLeaf = firstLeaf;
        }
    }

    private static final class TypeGroup {
        final List<NameGroup> names = new ArrayList<>();
        long table;
        long string;
    }

    private final List<ResourceLeaf> leaves;
    private final long sectionRva;
    private final List<TypeGroup> types = new ArrayList<>();
    private final long[] dataEntry;
    private final long[] data;
    private long size;
    private ByteBuilder out;

    private ResourceDirectoryWriter(List<ResourceLeaf> leaves, long sectionRva) {
        this.leaves = leaves;
        this.sectionRva = sectionRva;
        this.dataEntry = new long[leaves.size()];
        this.data = new long[leaves.size()];
    }

    /** The section's bytes for loading at {@code sectionRva}. Throws PackError when a leaf is listed twice. */
    static byte[] build(List<ResourceLeaf> unsorted, long sectionRva) {
        if (unsorted.size() > ResourceDirectoryReader.MAX_LEAVES) {
            throw new PackError("too many resources");
        }
        final List<ResourceLeaf> leaves = new ArrayList<>(unsorted);
        ResourceLeaves.sort(leaves);
        final ResourceDirectoryWriter writer = new ResourceDirectoryWriter(leaves, sectionRva);
        writer.plan();
        if (writer.size > 0x7FFFFFFFL - sectionRva) {
            throw new PackError("the resources are too large for the image");
        }
        return writer.write();
    }

    private void plan() {
        groupLeaves();
        long at = ResourceDirectoryReader.tableSize(types.size());
        for (TypeGroup type : types) {
            type.table = at;
            at += ResourceDirectoryReader.tableSize(type.names.size());
        }
        for (TypeGroup type : types) {
            for (NameGroup name : type.names) {
                name.table = at;
                at += ResourceDirectoryReader.tableSize(name.leafCount);
            }
        }
        for (int i = 0; i < leaves.size(); ++i) {
            dataEntry[i] = at;
            at += DATA_ENTRY_SIZE;
        }
        for (TypeGroup type : types) {
            type.string = at;
            at += stringSize(leaves.get(type.names.get(0).firstLeaf).type);
            for (NameGroup name : type.names) {
                name.string = at;
                at += stringSize(leaves.get(name.firstLeaf).name);
            }
        }
        for (int i = 0; i < leaves.size(); ++i) {
            at = Alignment.up(at, 8);
            data[i] = at;
            at += leaves.get(i).data.length;
        }
        size = Alignment.up(at, 8);
    }

    private void groupLeaves() {
        for (int i = 0; i < leaves.size(); ++i) {
            if (i == 0 || !leaves.get(i).type.equals(leaves.get(i - 1).type)) {
                types.add(new TypeGroup());
            }
            final List<NameGroup> names = types.get(types.size() - 1).names;
            if (names.isEmpty() || !leaves.get(i).name.equals(leaves.get(i - 1).name)) {
                names.add(new NameGroup(i));
            }
            ++names.get(names.size() - 1).leafCount;
        }
    }

    private static long stringSize(ResourceId id) {
        return id.named ? 2 + 2L * id.name.length() : 0;
    }

    private interface EntryOf {
        long[] entry(int index);
    }

    private byte[] write() {
        out = new ByteBuilder(size);
        writeTable(0, types.size(), t -> {
            final TypeGroup type = types.get(t);
            return new long[] {idField(leaves.get(type.names.get(0).firstLeaf).type, type.string), type.table | HIGH_BIT};
        });
        for (TypeGroup type : types) {
            writeNameTables(type);
        }
        for (int i = 0; i < leaves.size(); ++i) {
            writeLeaf(i);
        }
        return out.toArray();
    }

    private void writeTable(long at, int count, EntryOf entryOf) {
        int named = 0;
        for (int i = 0; i < count; ++i) {
            final long[] entry = entryOf.entry(i);
            if ((entry[0] & HIGH_BIT) != 0) {
                ++named;
            }
            out.putU32(at + ResourceDirectoryReader.tableSize(i), entry[0]);
            out.putU32(at + ResourceDirectoryReader.tableSize(i) + 4, entry[1] & 0xFFFFFFFFL);
        }
        out.putU16(at + 12, named);
        out.putU16(at + 14, count - named);
    }

    private void writeNameTables(TypeGroup type) {
        writeTable(type.table, type.names.size(), n -> {
            final NameGroup name = type.names.get(n);
            return new long[] {idField(leaves.get(name.firstLeaf).name, name.string), name.table | HIGH_BIT};
        });
        for (NameGroup name : type.names) {
            writeTable(name.table, name.leafCount, l -> {
                final int leaf = name.firstLeaf + l;
                return new long[] {leaves.get(leaf).language, dataEntry[leaf]};
            });
        }
    }

    private long idField(ResourceId id, long stringAt) {
        if (!id.named) {
            return id.number;
        }
        out.putU16(stringAt, id.name.length());
        for (int i = 0; i < id.name.length(); ++i) {
            out.putU16(stringAt + 2 + 2L * i, id.name.charAt(i));
        }
        return (stringAt & 0xFFFFFFFFL) | HIGH_BIT;
    }

    private void writeLeaf(int i) {
        final ResourceLeaf leaf = leaves.get(i);
        out.putU32(dataEntry[i], (sectionRva + data[i]) & 0xFFFFFFFFL);
        out.putU32(dataEntry[i] + 4, leaf.data.length);
        out.putU32(dataEntry[i] + 8, leaf.codePage);
        out.put(data[i], leaf.data);
    }
}
