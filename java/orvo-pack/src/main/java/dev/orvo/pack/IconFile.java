package dev.orvo.pack;

import java.util.ArrayList;
import java.util.Comparator;
import java.util.List;

/** Icon (.ico) files. */
final class IconFile {
    static final int ICON_TYPE = 1;
    private static final int CURSOR_TYPE = 2;
    static final long DIRECTORY_HEADER_SIZE = 6;
    private static final long FILE_ENTRY_SIZE = 16;
    private static final long BITMAP_INFO_HEADER_SIZE = 40;
    /** Far more sizes and depths than any icon holds. */
    private static final int MAX_IMAGES = 256;
    private static final byte[] PNG_SIGNATURE = {(byte) 0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};

    private IconFile() {}

    /**
     * Every image of an .ico file, in file order. Throws PackError when the bytes are not
     * an icon file: wrong header (a cursor, say), no images or more than 256, an image
     * outside the file, over the directory or over another image, or image data that is
     * neither PNG nor a DIB. The images together are never larger than the file.
     */
    static List<IconImage> parse(ByteView file) {
        if (file.size() < DIRECTORY_HEADER_SIZE || file.u16(0) != 0) {
            throw new PackError("not an icon file");
        }
        final int type = file.u16(2);
        if (type == CURSOR_TYPE) {
            throw new PackError("a cursor file, not an icon file");
        }
        if (type != ICON_TYPE) {
            throw new PackError("not an icon file");
        }
        final int count = file.u16(4);
        if (count == 0) {
            throw new PackError("an icon file without images");
        }
        if (count > MAX_IMAGES) {
            throw new PackError("an icon file with more than 256 images");
        }
        file.sub(DIRECTORY_HEADER_SIZE, FILE_ENTRY_SIZE * count);
        final List<IconImage> images = new ArrayList<>();
        for (ImageRange range : imageRanges(file, count)) {
            images.add(readImage(file, range));
        }
        return images;
    }

    private static final class ImageRange {
        /** Offset of its directory entry. */
        final long entry;
        final long offset;
        final long size;

        ImageRange(long entry, long offset, long size) {
            this.entry = entry;
            this.offset = offset;
            this.size = size;
        }
    }

    /**
     * Where each image lies, checked before any is copied: inside the file, after the
     * directory, and no two sharing a byte, so that the images together are never
     * larger than the file.
     */
    private static List<ImageRange> imageRanges(ByteView file, int count) {
        final long directoryEnd = DIRECTORY_HEADER_SIZE + FILE_ENTRY_SIZE * count;
        final List<ImageRange> ranges = new ArrayList<>();
        for (int i = 0; i < count; ++i) {
            final long entry = DIRECTORY_HEADER_SIZE + FILE_ENTRY_SIZE * i;
            final ImageRange range = new ImageRange(entry, file.u32(entry + 12), file.u32(entry + 8));
            file.sub(range.offset, range.size);
            if (range.offset < directoryEnd) {
                throw new PackError("an image of the icon overlaps the icon's directory");
            }
            ranges.add(range);
        }
        final List<ImageRange> sorted = new ArrayList<>(ranges);
        sorted.sort(Comparator.comparingLong(range -> range.offset));
        for (int i = 1; i < sorted.size(); ++i) {
            if (sorted.get(i).offset < sorted.get(i - 1).offset + sorted.get(i - 1).size) {
                throw new PackError("images of the icon overlap or repeat");
            }
        }
        return ranges;
    }

    private static IconImage readImage(ByteView file, ImageRange range) {
        final long entry = range.entry;
        int planes = file.u16(entry + 4);
        int bitCount = file.u16(entry + 6);
        final ByteView data = file.sub(range.offset, range.size);
        final boolean png = data.hasBytesAt(0, PNG_SIGNATURE);
        final boolean dib = data.size() >= BITMAP_INFO_HEADER_SIZE && data.u32(0) == BITMAP_INFO_HEADER_SIZE;
        if (!png && !dib) {
            throw new PackError("an image of the icon is neither PNG nor a bitmap");
        }
        // Some writers leave the depth out of the directory; Windows picks an image by it.
        if (dib && bitCount == 0) {
            planes = data.u16(12);
            bitCount = data.u16(14);
        }
        return new IconImage(file.u8(entry), file.u8(entry + 1), file.u8(entry + 2), planes, bitCount, data);
    }
}
