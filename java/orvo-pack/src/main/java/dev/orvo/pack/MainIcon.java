package dev.orvo.pack;

import java.util.ArrayList;
import java.util.List;
import java.util.Set;
import java.util.TreeSet;

/** The icon resources of an executable: an icon resource per image and the group resource that lists them. */
final class MainIcon {
    private static final long GROUP_ENTRY_SIZE = 14;

    private MainIcon() {}

    /**
     * Replaces the executable's main icon (the first icon group, which the shell shows)
     * with the images: the group keeps its name and language, the icons it alone used
     * go, and the images become icons under numbers no other group uses. Without an icon
     * group, the new one is group 1 in the neutral language.
     */
    static void replace(List<ResourceLeaf> leaves, List<IconImage> images) {
        ResourceLeaves.sort(leaves);
        ResourceId groupName = ResourceId.number(1);
        int language = 0;
        for (ResourceLeaf leaf : leaves) {
            if (leaf.is(ResourceLeaf.GROUP_ICON)) {
                groupName = leaf.name;
                language = leaf.language;
                removeGroup(leaves, groupName);
                break;
            }
        }
        final List<Integer> ids = freeIconIds(leaves, images.size());
        for (int i = 0; i < images.size(); ++i) {
            leaves.add(new ResourceLeaf(ResourceId.number(ResourceLeaf.ICON), ResourceId.number(ids.get(i)), language, 0,
                    images.get(i).data.toArray()));
        }
        leaves.add(new ResourceLeaf(ResourceId.number(ResourceLeaf.GROUP_ICON), groupName, language, 0, group(images, ids)));
        ResourceLeaves.sort(leaves);
    }

    /** The group resource listing images[i] as icon resource ids[i]. */
    static byte[] group(List<IconImage> images, List<Integer> ids) {
        final ByteBuilder group = new ByteBuilder();
        group.appendU16(0);
        group.appendU16(IconFile.ICON_TYPE);
        group.appendU16(images.size());
        for (int i = 0; i < images.size(); ++i) {
            final IconImage image = images.get(i);
            group.appendByte(image.width);
            group.appendByte(image.height);
            group.appendByte(image.colorCount);
            group.appendByte(0);
            group.appendU16(image.planes);
            group.appendU16(image.bitCount);
            group.appendU32(image.data.size());
            group.appendU16(ids.get(i));
        }
        return group.toArray();
    }

    /** The icon resource numbers a group resource lists. Throws PackError when malformed. */
    static List<Integer> members(ByteView group) {
        final int count = group.u16(4);
        group.sub(IconFile.DIRECTORY_HEADER_SIZE, GROUP_ENTRY_SIZE * count);
        final List<Integer> ids = new ArrayList<>();
        for (int i = 0; i < count; ++i) {
            ids.add(group.u16(IconFile.DIRECTORY_HEADER_SIZE + GROUP_ENTRY_SIZE * i + 12));
        }
        return ids;
    }

    /** The smallest {@code count} icon numbers (from 1) that no icon resource uses. */
    private static List<Integer> freeIconIds(List<ResourceLeaf> leaves, int count) {
        final Set<Integer> used = new TreeSet<>();
        for (ResourceLeaf leaf : leaves) {
            if (leaf.is(ResourceLeaf.ICON) && !leaf.name.named) {
                used.add(leaf.name.number);
            }
        }
        final List<Integer> ids = new ArrayList<>();
        for (int id = 1; id <= 0xFFFF && ids.size() < count; ++id) {
            if (!used.contains(id)) {
                ids.add(id);
            }
        }
        if (ids.size() < count) {
            throw new PackError("no free icon numbers left");
        }
        return ids;
    }

    private static Set<Integer> membersOfGroups(List<ResourceLeaf> leaves) {
        final Set<Integer> members = new TreeSet<>();
        for (ResourceLeaf leaf : leaves) {
            if (leaf.is(ResourceLeaf.GROUP_ICON)) {
                members.addAll(members(ByteView.of(leaf.data)));
            }
        }
        return members;
    }

    /** Removes the group {@code name} in every language, and the icons only it used. */
    private static void removeGroup(List<ResourceLeaf> leaves, ResourceId name) {
        final Set<Integer> before = membersOfGroups(leaves);
        leaves.removeIf(leaf -> leaf.is(ResourceLeaf.GROUP_ICON) && leaf.name.equals(name));
        final Set<Integer> after = membersOfGroups(leaves);
        leaves.removeIf(leaf -> leaf.is(ResourceLeaf.ICON) && !leaf.name.named && before.contains(leaf.name.number)
                && !after.contains(leaf.name.number));
    }
}
