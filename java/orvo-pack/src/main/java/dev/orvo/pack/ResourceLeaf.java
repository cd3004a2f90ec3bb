package dev.orvo.pack;

import java.util.Comparator;

/** One resource of an executable: its type, name and language, and its data. */
final class ResourceLeaf {
    static final int ICON = 3;
    static final int RC_DATA = 10;
    static final int GROUP_ICON = 14;
    static final int VERSION = 16;
    static final int MANIFEST = 24;

    /** The directory's order: by type, then name, then language. */
    static final Comparator<ResourceLeaf> DIRECTORY_ORDER = Comparator.<ResourceLeaf, ResourceId>comparing(leaf -> leaf.type)
            .thenComparing(leaf -> leaf.name)
            .thenComparingInt(leaf -> leaf.language);

    final ResourceId type;
    final ResourceId name;
    final int language;
    final long codePage;
    final byte[] data;

    ResourceLeaf(ResourceId type, ResourceId name, int language, long codePage, byte[] data) {
        this.type = type;
        this.name = name;
        this.language = language;
        this.codePage = codePage;
        this.data = data;
    }

    ResourceLeaf withData(byte[] newData) {
        return new ResourceLeaf(type, name, language, codePage, newData);
    }

    /** True for a leaf of that numbered type. */
    boolean is(int numberedType) {
        return !type.named && type.number == numberedType;
    }

    /** True for a leaf of that numbered type and that name. */
    boolean is(int numberedType, ResourceId resourceName) {
        return is(numberedType) && name.equals(resourceName);
    }
}
