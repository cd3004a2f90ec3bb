package dev.orvo.pack;

import java.util.ArrayList;
import java.util.List;

/**
 * The application's archive (a jar) as orvo-pack appends it to the executable.
 *
 * <p>Its offsets stay counted from the archive's own first byte, as the jar tool wrote
 * them, rather than from the start of the executable. Java's archive reader finds the
 * archive's start as (central directory position - recorded offset) and checks that a
 * local header lies there; that check is what lets it accept bytes after the archive,
 * such as the Authenticode signature a signing tool appends to the executable. Offsets
 * counted from the start of the executable would point it at the "MZ" header there,
 * and a signed executable would no longer open as an archive.
 */
final class ZipArchive {
    private static final long LOCAL_HEADER_SIGNATURE = 0x04034B50L;
    private static final long CENTRAL_HEADER_SIGNATURE = 0x02014B50L;
    private static final long END_SIGNATURE = 0x06054B50L;
    private static final long ZIP64_LOCATOR_SIGNATURE = 0x07064B50L;
    private static final long END_SIZE = 22;
    private static final long ZIP64_LOCATOR_SIZE = 20;
    private static final long CENTRAL_HEADER_SIZE = 46;
    private static final long LOCAL_HEADER_SIZE = 30;
    private static final long MAX_COMMENT_SIZE = 0xFFFF;

    private ZipArchive() {}

    private static final class EndRecord {
        final long position;
        final int entries;
        final long directorySize;
        final long directoryOffset;
        final int commentSize;

        EndRecord(ByteView bytes, long at) {
            position = at;
            entries = bytes.u16(at + 10);
            directorySize = bytes.u32(at + 12);
            directoryOffset = bytes.u32(at + 16);
            commentSize = bytes.u16(at + 20);
        }

        long directoryStart() {
            return position - directorySize;
        }

        long end() {
            return position + END_SIZE + commentSize;
        }

        /** ZIP64 archives keep the real values elsewhere and these fields escaped. */
        boolean isEscaped() {
            return entries == 0xFFFF || directorySize == 0xFFFFFFFFL || directoryOffset == 0xFFFFFFFFL;
        }
    }

    private static final class CentralEntry {
        /** Position of its local-header offset field. */
        final long offsetField;
        /** Position of its local header. */
        final long localHeader;

        CentralEntry(long offsetField, long localHeader) {
            this.offsetField = offsetField;
            this.localHeader = localHeader;
        }
    }

    /**
     * The archive from its first local header to the end of its end record and comment,
     * with every offset counted from that first header (any bytes before it, or after the
     * comment, are left out). Throws PackError when the bytes are not a ZIP archive: no
     * end record, a central directory outside the data or malformed, an entry without its
     * local header, no entries at all, or a ZIP64 archive (not supported).
     */
    static byte[] prepare(ByteView bytes) {
        final EndRecord end = findEndRecord(bytes);
        rejectZip64(bytes, end);
        final List<CentralEntry> entries = readCentralDirectory(bytes, end);
        long first = entries.get(0).localHeader;
        for (CentralEntry entry : entries) {
            first = Math.min(first, entry.localHeader);
        }
        final ByteBuilder archive = new ByteBuilder();
        archive.append(bytes.sub(first, end.end() - first));
        for (CentralEntry entry : entries) {
            archive.putU32(entry.offsetField - first, entry.localHeader - first);
        }
        archive.putU32(end.position + 16 - first, end.directoryStart() - first);
        return archive.toArray();
    }

    private static boolean hasSignature(ByteView bytes, long at, long signature) {
        return at >= 0 && at + 4 <= bytes.size() && bytes.u32(at) == signature;
    }

    /**
     * An end record at {@code at} that fits the data (escaped fields are taken as they
     * are, to be refused with their own message); null when there is none. Its central
     * directory is checked apart.
     */
    private static EndRecord readEndRecord(ByteView bytes, long at) {
        if (!hasSignature(bytes, at, END_SIGNATURE) || at + END_SIZE > bytes.size()) {
            return null;
        }
        final EndRecord end = new EndRecord(bytes, at);
        return end.end() > bytes.size() ? null : end;
    }

    /**
     * The central directory lies before the end record and the archive's first byte
     * (where the directory's offset is counted from) inside the data.
     */
    private static boolean directoryInside(EndRecord end) {
        return end.isEscaped() || (end.directorySize <= end.position && end.directoryOffset <= end.directoryStart());
    }

    /**
     * The same test as Java's reader: the end record either reaches exactly to the end
     * of the data, or the central directory and the first local header are where it says.
     */
    private static boolean plausible(ByteView bytes, EndRecord end) {
        if (end.end() == bytes.size()) {
            return true;
        }
        return !end.isEscaped() && hasSignature(bytes, end.directoryStart(), CENTRAL_HEADER_SIGNATURE)
                && hasSignature(bytes, end.directoryStart() - end.directoryOffset, LOCAL_HEADER_SIGNATURE);
    }

    /**
     * The last plausible end record. One whose central directory lies outside the data
     * is refused as such, rather than taken for no end record at all.
     */
    private static EndRecord findEndRecord(ByteView bytes) {
        EndRecord outside = null;
        if (bytes.size() >= END_SIZE) {
            final long last = bytes.size() - END_SIZE;
            final long first = last > MAX_COMMENT_SIZE ? last - MAX_COMMENT_SIZE : 0;
            for (long at = last; at >= first; --at) {
                final EndRecord end = readEndRecord(bytes, at);
                if (end == null) {
                    continue;
                }
                if (!directoryInside(end)) {
                    outside = outside == null ? end : outside;
                    continue;
                }
                if (plausible(bytes, end)) {
                    return end;
                }
            }
        }
        if (outside != null) {
            throw new PackError("the archive's central directory lies outside the file (the end record gives offset "
                    + outside.directoryOffset + ", size " + outside.directorySize + ")");
        }
        throw new PackError("not a ZIP archive (no end of central directory found)");
    }

    private static void rejectZip64(ByteView bytes, EndRecord end) {
        final boolean located = end.position >= ZIP64_LOCATOR_SIZE
                && hasSignature(bytes, end.position - ZIP64_LOCATOR_SIZE, ZIP64_LOCATOR_SIGNATURE);
        if (end.isEscaped() || located) {
            throw new PackError("a ZIP64 archive, which orvo-pack does not support");
        }
        if (bytes.u16(end.position + 4) != 0 || bytes.u16(end.position + 6) != 0 || bytes.u16(end.position + 8) != end.entries) {
            throw new PackError("an archive split over several disks");
        }
    }

    private static List<CentralEntry> readCentralDirectory(ByteView bytes, EndRecord end) {
        final long base = end.directoryStart() - end.directoryOffset;
        final List<CentralEntry> entries = new ArrayList<>();
        long at = end.directoryStart();
        for (int i = 0; i < end.entries; ++i) {
            if (at + CENTRAL_HEADER_SIZE > end.position || !hasSignature(bytes, at, CENTRAL_HEADER_SIGNATURE)) {
                throw new PackError("the archive's central directory is malformed");
            }
            final long local = base + bytes.u32(at + 42);
            if (local + LOCAL_HEADER_SIZE > end.directoryStart() || !hasSignature(bytes, local, LOCAL_HEADER_SIGNATURE)) {
                throw new PackError("an entry of the archive has no local header");
            }
            entries.add(new CentralEntry(at + 42, local));
            at += CENTRAL_HEADER_SIZE + bytes.u16(at + 28) + bytes.u16(at + 30) + bytes.u16(at + 32);
        }
        if (at > end.position) {
            throw new PackError("the archive's central directory is malformed");
        }
        if (entries.isEmpty()) {
            throw new PackError("the archive holds no entries");
        }
        return entries;
    }
}
