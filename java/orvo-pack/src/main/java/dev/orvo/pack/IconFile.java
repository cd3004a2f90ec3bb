package dev.orvo.pack;

import java.util.ArrayList;
import java.util.List;

/** Icon (.ico) files. */
final class IconFile {
    static final int ICON_TYPE = 1;
    private static final int CURSOR_TYPE = 2;
    static final long DIRECTORY_HEADER_SIZE = 6;
    private static final long FILE_ENTRY_SIZE = 16;
    private static final long BITMAP_INFO_HEADER_SIZE = 40;
    private static final byte[] PNG_SIGNATURE = {(byte) 0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};

    private IconFile() {}

    /**
     * Every image of an .ico file, in file order. Throws PackError when the bytes are not
     * an icon file: wrong header (a cursor, say), no images, an image outside the file,
     * or image data that is neither PNG nor a DIB.
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
        file.sub(DIRECTORY_HEADER_SIZE, FILE_ENTRY_SIZE * count);
        final List<IconImage> images = new ArrayList<>();
        for (int i = 0; i < count; ++i) {
            images.add(readImage(file, DIRECTORY_HEADER_SIZE + FILE_ENTRY_SIZE * i));
        }
        return images;
    }

    private static IconImage readImage(ByteView file, long entry) {
        int planes = file.u16(entry + 4);
        int bitCount = file.u16(entry + 6);
        final ByteView data = file.sub(file.u32(entry + 12), file.u32(entry + 8));
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
