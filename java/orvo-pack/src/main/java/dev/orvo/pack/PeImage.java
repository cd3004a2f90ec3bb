package dev.orvo.pack;

import java.util.ArrayList;
import java.util.Collections;
import java.util.List;

/**
 * The layout of a PE executable (PE32 or PE32+), read from its headers and checked
 * before anything relies on it: every section's raw data lies inside the file, the
 * headers fit, the alignments are sane and the sections follow each other in memory.
 */
final class PeImage {
    private static final long DOS_HEADER_SIZE = 64;
    private static final int PE32_MAGIC = 0x10B;
    private static final int PE32_PLUS_MAGIC = 0x20B;
    private static final int EXECUTABLE_IMAGE = 0x0002;
    private static final int MAX_SECTIONS = 96; // the Windows loader's own limit
    private static final long SECTION_HEADER_SIZE = 40;
    private static final long MAX_DIRECTORIES = 16;

    private boolean is64;
    private long fileHeaderOffset;
    private long optionalHeaderOffset;
    private long fileAlignment;
    private long sectionAlignment;
    private long sizeOfHeaders;
    private long directoriesOffset;
    private final List<DirectoryEntry> directories = new ArrayList<>();
    private final List<PeSection> sections = new ArrayList<>();

    private PeImage() {}

    /** Throws PackError saying what is wrong when the bytes are not a PE executable. */
    static PeImage parse(ByteView file) {
        if (!file.hasBytesAt(0, new byte[] {'M', 'Z'})) {
            throw new PackError("not a Windows executable (no MZ header)");
        }
        if (file.size() < DOS_HEADER_SIZE) {
            throw new PackError("not a Windows executable (too short)");
        }
        final long peOffset = file.u32(0x3C);
        if (!file.hasBytesAt(peOffset, new byte[] {'P', 'E', 0, 0})) {
            throw new PackError("not a PE executable (no PE signature)");
        }
        final PeImage image = new PeImage();
        image.fileHeaderOffset = peOffset + 4;
        final long fileHeader = image.fileHeaderOffset;
        if ((file.u16(fileHeader + 18) & EXECUTABLE_IMAGE) == 0) {
            throw new PackError("not an executable image");
        }
        final int optionalSize = file.u16(fileHeader + 16);
        image.optionalHeaderOffset = fileHeader + 20;
        image.parseOptionalHeader(file, optionalSize);
        image.parseSections(file, file.u16(fileHeader + 2), image.optionalHeaderOffset + optionalSize);
        image.checkSections(file);
        return image;
    }

    private void parseOptionalHeader(ByteView file, int optionalSize) {
        final long header = optionalHeaderOffset;
        final int magic = file.u16(header);
        if (magic != PE32_MAGIC && magic != PE32_PLUS_MAGIC) {
            throw new PackError("unknown kind of optional header");
        }
        is64 = magic == PE32_PLUS_MAGIC;
        final long countAt = is64 ? 108 : 92;
        if (optionalSize < countAt + 4) {
            throw new PackError("optional header too small");
        }
        sectionAlignment = file.u32(header + 32);
        fileAlignment = file.u32(header + 36);
        sizeOfHeaders = file.u32(header + 60);
        final long count = file.u32(header + countAt);
        if (count > MAX_DIRECTORIES || countAt + 4 + 8 * count > optionalSize) {
            throw new PackError("data directory table does not fit the optional header");
        }
        directoriesOffset = header + countAt + 4;
        for (long i = 0; i < count; ++i) {
            directories.add(new DirectoryEntry(file.u32(directoriesOffset + 8 * i), file.u32(directoriesOffset + 8 * i + 4)));
        }
        if (!Alignment.isPowerOfTwo(fileAlignment) || fileAlignment > 0x10000 || !Alignment.isPowerOfTwo(sectionAlignment)
                || sectionAlignment < fileAlignment) {
            throw new PackError("file or section alignment out of range");
        }
    }

    private void parseSections(ByteView file, int count, long tableOffset) {
        if (count == 0 || count > MAX_SECTIONS) {
            throw new PackError("number of sections out of range");
        }
        if (tableOffset + SECTION_HEADER_SIZE * count > sizeOfHeaders) {
            throw new PackError("section table does not fit the headers");
        }
        for (int i = 0; i < count; ++i) {
            final long at = (tableOffset + SECTION_HEADER_SIZE * i) & 0xFFFFFFFFL;
            final ByteView header = file.sub(at, SECTION_HEADER_SIZE);
            sections.add(new PeSection(sectionName(header), header.u32(8), header.u32(12), header.u32(16), header.u32(20), at));
        }
    }

    private static String sectionName(ByteView header) {
        final StringBuilder name = new StringBuilder();
        for (int i = 0; i < 8 && header.u8(i) != 0; ++i) {
            name.append((char) header.u8(i));
        }
        return name.toString();
    }

    private void checkSections(ByteView file) {
        if (sizeOfHeaders > file.size()) {
            throw new PackError("headers larger than the file");
        }
        long nextFree = 0;
        for (PeSection section : sections) {
            if (section.rawSize != 0 && (section.rawOffset < sizeOfHeaders || section.rawEnd() > file.size())) {
                throw new PackError("section " + section.name + " lies outside the file");
            }
            if (section.virtualAddress < nextFree) {
                throw new PackError("sections overlap or are out of order");
            }
            nextFree = Alignment.up(section.virtualEnd(), sectionAlignment);
        }
        if (nextFree > 0xFFFFFFFFL) {
            throw new PackError("image larger than its address space");
        }
    }

    boolean is64() {
        return is64;
    }

    long fileAlignment() {
        return fileAlignment;
    }

    long sectionAlignment() {
        return sectionAlignment;
    }

    List<PeSection> sections() {
        return Collections.unmodifiableList(sections);
    }

    /** The entry, or an empty one for a directory the image does not list. */
    DirectoryEntry directory(DataDirectory which) {
        return which.index() < directories.size() ? directories.get(which.index()) : DirectoryEntry.NONE;
    }

    /** The entry at {@code index} of the table, or an empty one beyond its end. */
    DirectoryEntry directory(int index) {
        return index < directories.size() ? directories.get(index) : DirectoryEntry.NONE;
    }

    /** File offset of the directory's 8-byte entry; -1 when the image lists too few. */
    long directoryEntryOffset(DataDirectory which) {
        return which.index() < directories.size() ? directoriesOffset + 8L * which.index() : -1;
    }

    /** Index of the section whose memory holds the address; -1 when none does. */
    int sectionAt(long rva) {
        for (int i = 0; i < sections.size(); ++i) {
            if (rva >= sections.get(i).virtualAddress && rva < sections.get(i).virtualEnd()) {
                return i;
            }
        }
        return -1;
    }

    /** End of the headers and of every section's raw data: where carried data begins. */
    long imageEnd() {
        long end = sizeOfHeaders;
        for (PeSection section : sections) {
            if (section.rawSize != 0) {
                end = Math.max(end, section.rawEnd());
            }
        }
        return end;
    }

    long fileHeaderOffset() {
        return fileHeaderOffset;
    }

    long checksumOffset() {
        return optionalHeaderOffset + 64;
    }

    long subsystemOffset() {
        return optionalHeaderOffset + 68;
    }

    long sizeOfImageOffset() {
        return optionalHeaderOffset + 56;
    }

    long sizeOfInitializedDataOffset() {
        return optionalHeaderOffset + 8;
    }
}
