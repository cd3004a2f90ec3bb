package dev.orvo.pack;

import java.util.Objects;

/** A resource type or name: a number or a string of UTF-16 units. */
final class ResourceId implements Comparable<ResourceId> {
    final boolean named;
    final String name;
    final int number;

    private ResourceId(boolean named, String name, int number) {
        this.named = named;
        this.name = name;
        this.number = number;
    }

    static ResourceId number(int number) {
        return new ResourceId(false, "", number);
    }

    static ResourceId name(String name) {
        return new ResourceId(true, name, 0);
    }

    /** The directory's order: names first (by units, a prefix before longer names), then numbers. */
    @Override
    public int compareTo(ResourceId other) {
        if (named != other.named) {
            return named ? -1 : 1;
        }
        return named ? name.compareTo(other.name) : Integer.compare(number, other.number);
    }

    @Override
    public boolean equals(Object other) {
        return other instanceof ResourceId && compareTo((ResourceId) other) == 0;
    }

    @Override
    public int hashCode() {
        return Objects.hash(named, name, number);
    }
}
