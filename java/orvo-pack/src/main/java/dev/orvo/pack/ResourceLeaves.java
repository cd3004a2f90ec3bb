package dev.orvo.pack;

import java.util.List;
import java.util.OptionalInt;
import java.util.function.Predicate;

/** What the pack does to an executable's list of resources as a whole. */
final class ResourceLeaves {
    private ResourceLeaves() {}

    /** Sorts the leaves into directory order; throws PackError when two have the same type, name and language. */
    static void sort(List<ResourceLeaf> leaves) {
        leaves.sort(ResourceLeaf.DIRECTORY_ORDER);
        for (int i = 1; i < leaves.size(); ++i) {
            if (ResourceLeaf.DIRECTORY_ORDER.compare(leaves.get(i - 1), leaves.get(i)) == 0) {
                throw new PackError("a resource is listed twice");
            }
        }
    }

    /** Removes the leaves that match; returns the language of the first of them in directory order. */
    static OptionalInt remove(List<ResourceLeaf> leaves, Predicate<ResourceLeaf> matches) {
        sort(leaves);
        OptionalInt language = OptionalInt.empty();
        for (ResourceLeaf leaf : leaves) {
            if (matches.test(leaf)) {
                language = OptionalInt.of(leaf.language);
                break;
            }
        }
        leaves.removeIf(matches);
        return language;
    }
}
