package dev.orvo.pack;

import java.util.List;

/** Writing a PE executable with a new resource section. */
final class PeWriter {
    private static final long DEBUG_ENTRY_SIZE = 28;

    private PeWriter() {}

    /**
     * Index of the section that holds the resource directory at its start. Throws
     * PackError when the image has no resources or shares their section with other data.
     */
    static int resourceSectionIndex(PeImage image) {
        final DirectoryEntry resources = image.directory(DataDirectory.RESOURCE);
        if (resources.address == 0 || resources.size == 0) {
            throw new PackError("the executable has no resources");
        }
        final int index = image.sectionAt(resources.address);
        if (index < 0 || image.sections().get(index).virtualAddress != resources.address) {
            throw new PackError("the resources do not start a section of their own");
        }
        if (holdsOtherDirectory(image, image.sections().get(index), DataDirectory.RESOURCE)) {
            throw new PackError("the resources share their section with other data");
        }
        return index;
    }

    /**
     * The executable with its resource section's data replaced by {@code resources}
     * (built for the section's address). The sections after it follow it anew in memory
     * and in the file; only base relocations may lie there, since nothing else in the
     * image refers to them by address except the directory entry, which is updated.
     * Also updated: the resource section's sizes, the image and initialised-data sizes.
     * Left out: the signature (it no longer matches), the COFF symbol table and anything
     * after the image. The checksum is 0: writeChecksum sets it once the file is complete.
     */
    static ByteBuilder replaceResourceSection(ByteView file, PeImage image, byte[] resources) {
        final int index = resourceSectionIndex(image);
        checkMovable(file, image, index);
        final List<PeSection> sections = image.sections();
        final PeSection resourceSection = sections.get(index);
        final ByteBuilder out = new ByteBuilder();
        out.append(file.sub(0, resourceSection.rawOffset));
        final PeSection placed = appendSection(out, image, resourceSection, ByteView.of(resources), resourceSection.virtualAddress)
                .withVirtualSize(resources.length);
        writeSectionHeader(out, placed);
        final long initializedDataChange = placed.rawSize - resourceSection.rawSize;
        long next = Alignment.up(placed.virtualEnd(), image.sectionAlignment());
        final DirectoryEntry relocations = image.directory(DataDirectory.BASE_RELOCATION);
        for (int i = index + 1; i < sections.size(); ++i) {
            final PeSection old = sections.get(i);
            final PeSection moved = appendSection(out, image, old, file.sub(old.rawOffset, old.rawSize), next);
            writeSectionHeader(out, moved);
            // Only the relocations can lie here (checkMovable), and their directory starts the section.
            writeDirectory(out, image, DataDirectory.BASE_RELOCATION, moved.virtualAddress, relocations.size);
            next = Alignment.up(moved.virtualAddress + (old.virtualEnd() - old.virtualAddress), image.sectionAlignment());
        }
        writeDirectory(out, image, DataDirectory.RESOURCE, placed.virtualAddress, resources.length);
        writeDirectory(out, image, DataDirectory.SECURITY, 0, 0);
        updateSizes(out, image, next, initializedDataChange);
        return out;
    }

    /**
     * What an earlier pack appended after the image (an archive, say), without the
     * signature that may follow it. Empty when there is nothing.
     */
    static ByteView carriedData(ByteView file, PeImage image) {
        long end = file.size();
        final DirectoryEntry signature = image.directory(DataDirectory.SECURITY);
        if (signature.size != 0 && signature.address >= image.imageEnd() && signature.address <= file.size()) {
            end = signature.address;
        }
        final long start = image.imageEnd();
        return start < end ? file.sub(start, end - start) : file.sub(0, 0);
    }

    /**
     * The PE checksum of the file: its 16-bit words summed with end-around carry, the
     * checksum field itself read as 0, plus the file's length.
     */
    static long checksum(byte[] file, long checksumOffset) {
        long sum = 0;
        for (long i = 0; i < file.length; i += 2) {
            sum += byteAt(file, i, checksumOffset) | (byteAt(file, i + 1, checksumOffset) << 8);
            sum = (sum & 0xFFFF) + (sum >>> 16);
        }
        sum = (sum & 0xFFFF) + (sum >>> 16);
        return (sum + file.length) & 0xFFFFFFFFL;
    }

    /** Stores the checksum in the checksum field of the file, whose headers are the image's. */
    static byte[] withChecksum(ByteBuilder file, PeImage image) {
        final byte[] bytes = file.toArray();
        final long value = checksum(bytes, image.checksumOffset());
        file.putU32(image.checksumOffset(), value);
        return file.toArray();
    }

    private static long byteAt(byte[] file, long i, long checksumOffset) {
        if (i >= file.length || (i >= checksumOffset && i < checksumOffset + 4)) {
            return 0;
        }
        return file[(int) i] & 0xFF;
    }

    /** True when a directory other than {@code own} points into the section's memory. */
    private static boolean holdsOtherDirectory(PeImage image, PeSection section, DataDirectory own) {
        for (int index = 0; index < 16; ++index) {
            // The signature's directory holds a file offset, not an address.
            if (index == own.index() || index == DataDirectory.SECURITY.index()) {
                continue;
            }
            final DirectoryEntry entry = image.directory(index);
            if (entry.size != 0 && entry.address >= section.virtualAddress && entry.address < section.virtualEnd()) {
                return true;
            }
        }
        return false;
    }

    /** Debug directory entries hold file offsets of their data, which would go stale. */
    private static void checkDebugData(ByteView file, PeImage image, long movedFrom) {
        final DirectoryEntry debug = image.directory(DataDirectory.DEBUG);
        if (debug.size == 0) {
            return;
        }
        final int holder = image.sectionAt(debug.address);
        if (holder < 0) {
            throw new PackError("the debug directory lies outside the sections");
        }
        final PeSection section = image.sections().get(holder);
        final long at = section.rawOffset + (debug.address - section.virtualAddress);
        for (long entry = 0; entry + DEBUG_ENTRY_SIZE <= debug.size; entry += DEBUG_ENTRY_SIZE) {
            if (file.u32(at + entry + 24) >= movedFrom) {
                throw new PackError("debug data lies after the resources");
            }
        }
    }

    private static void checkMovable(ByteView file, PeImage image, int resourceIndex) {
        final List<PeSection> sections = image.sections();
        final PeSection resources = sections.get(resourceIndex);
        for (int i = 0; i < resourceIndex; ++i) {
            if (sections.get(i).rawSize != 0 && sections.get(i).rawEnd() > resources.rawOffset) {
                throw new PackError("section " + sections.get(i).name + " lies after the resources in the file");
            }
        }
        final DirectoryEntry relocations = image.directory(DataDirectory.BASE_RELOCATION);
        for (int i = resourceIndex + 1; i < sections.size(); ++i) {
            final PeSection section = sections.get(i);
            final boolean onlyRelocations = relocations.size != 0 && relocations.address == section.virtualAddress
                    && !holdsOtherDirectory(image, section, DataDirectory.BASE_RELOCATION);
            if (!onlyRelocations || (section.rawSize != 0 && section.rawOffset < resources.rawEnd())) {
                throw new PackError("section " + section.name + " follows the resources and cannot be moved");
            }
        }
        checkDebugData(file, image, resources.rawOffset);
    }

    private static void writeDirectory(ByteBuilder out, PeImage image, DataDirectory which, long address, long size) {
        final long at = image.directoryEntryOffset(which);
        if (at < 0) {
            return;
        }
        out.putU32(at, address);
        out.putU32(at + 4, size);
    }

    private static void writeSectionHeader(ByteBuilder out, PeSection section) {
        out.putU32(section.headerOffset + 8, section.virtualSize);
        out.putU32(section.headerOffset + 12, section.virtualAddress);
        out.putU32(section.headerOffset + 16, section.rawSize);
        out.putU32(section.headerOffset + 20, section.rawOffset);
    }

    /**
     * Appends the section's raw data at the end of {@code out} and places it in memory at
     * {@code virtualAddress}; returns the section as it now is.
     */
    private static PeSection appendSection(ByteBuilder out, PeImage image, PeSection section, ByteView data, long virtualAddress) {
        if (virtualAddress > 0xFFFFFFFFL) {
            throw new PackError("the image grows beyond its address space");
        }
        if (data.isEmpty()) {
            return section.placed(virtualAddress, 0, 0);
        }
        final long start = out.size();
        out.append(data);
        out.padTo(image.fileAlignment());
        if (out.size() > 0xFFFFFFFFL) {
            throw new PackError("the executable grows beyond 4 GiB");
        }
        return section.placed(virtualAddress, start, out.size() - start);
    }

    private static void updateSizes(ByteBuilder out, PeImage image, long imageEnd, long initializedDataChange) {
        out.putU32(image.sizeOfImageOffset(), imageEnd & 0xFFFFFFFFL);
        final long initialized = out.u32(image.sizeOfInitializedDataOffset()) + initializedDataChange;
        out.putU32(image.sizeOfInitializedDataOffset(), Math.max(0, Math.min(initialized, 0xFFFFFFFFL)));
        out.putU32(image.checksumOffset(), 0);
        // The symbol table lay after the sections that have moved; images do not need it.
        out.putU32(image.fileHeaderOffset() + 8, 0);
        out.putU32(image.fileHeaderOffset() + 12, 0);
    }
}
